// The match run: reads the subject file, runs the pattern over it and rebuilds the result table.
#include "match/match_run.h"

#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "base/program_text.h"
#include "match/regex.h"
#include "match/search_result_rows.h"
#include "match/search_worker.h"
#include "match/subject_text.h"

namespace lintaro {

namespace {

constexpr int kNumberColumnWidth = 50;
constexpr int kGroupColumnWidth = 344;

// The table a run leaves: the same as emptying the window's table operation by operation and
// inserting the header row, one column per group and one row per match. The match rows are
// read from the search results when asked for, so no cell text is copied.
ResultTable BuildResultTable(std::shared_ptr<const SearchResults> results, int group_count,
                             std::shared_ptr<const TextBuffer> text,
                             HeadingWidthFunction heading_width) {
    ResultTable table(std::move(heading_width));
    table.ResetTable();
    for (int rows = table.RowCount(); rows > 0; --rows) table.DeleteRow(table.RowCount() - 1);
    for (int columns = table.ColumnCount(); columns > 0; --columns) {
        table.DeleteColumn(table.ColumnCount() - 1);
    }
    table.SetBackgroundColour(kWindowColour);
    // Inserting into the empty table creates the header row and the number column first.
    const std::vector<std::string> headings = ResultHeadings(group_count);
    table.InsertColumn(headings[1], 1);
    table.SetCell(0, 0, headings[0]);
    for (int j = 1; j <= group_count; ++j) {
        table.InsertColumn(headings[static_cast<std::size_t>(j) + 1], j + 1);
        table.SetColumnWidth(j + 1, kGroupColumnWidth);
    }
    table.SetColumnWidth(0, kNumberColumnWidth);

    table.ShareSource(std::move(text));
    table.AppendSourceRows(std::make_shared<const SearchResultRows>(std::move(results)));
    return table;
}

}  // namespace

namespace {

// The engine and the search end their loop with the exception's message when memory runs out.
bool RanOutOfMemory(const SearchResults& results) {
    return results.EngineGaveUp() && results.EngineMessage() == std::bad_alloc().what();
}

MatchReport RunStages(MatchRunIo& io, MatchReport::Stage& stage) {
    WorkProgress* const progress = io.Progress();
    SubjectBytes bytes = ReadSubjectBytes(io.SubjectPath(), io.SubjectFiles(), ProgramCharset(),
                                          progress, io.SubjectReadingWay());
    io.StageDone(MatchStage::kRead);
    stage = MatchReport::Stage::kDecode;
    SubjectText subject = DecodeSubject(std::move(bytes), ProgramCharset(), io.SubjectCharset());
    io.StageDone(MatchStage::kDecode);
    stage = MatchReport::Stage::kSearch;
    // A character the program's text cannot hold would turn into "?", an operator: refuse it.
    const std::string pattern = io.Pattern();
    const std::string unheld = FirstUnheldCharacter(pattern, ProgramCharset());
    regex expression;
    const bool compiled =
        unheld.empty() && expression.Compile(Utf8ToProgramText(pattern), !io.IgnoreCase());
    const auto text = std::make_shared<const TextBuffer>(std::move(subject.text));
    // A run that can be cancelled searches in a process of its own, which a cancel can end
    // inside one engine call.
    const auto shared_results = std::make_shared<const SearchResults>(
        progress != nullptr
            ? SearchInWorker(expression, text->View(), io.SearchSettings(), *progress)
            : expression.SearchAll(text->View(), io.SearchSettings()));
    const SearchResults& results = *shared_results;
    io.StageDone(MatchStage::kSearch);
    if (RanOutOfMemory(results)) throw std::bad_alloc();

    // Built before anything is written, so that running out of memory leaves the front end's
    // count line and table as they were.
    stage = MatchReport::Stage::kTable;
    std::optional<ResultTable> table;
    if (io.WantsTable()) {
        table =
            BuildResultTable(shared_results, expression.GetGroupCount(), text, io.HeadingWidth());
    }
    io.ReceiveMatches(shared_results, text);
    io.SetCountLine(CountLine(results.size()));
    if (table) io.ReplaceTable(std::move(*table));

    MatchReport report;
    report.match_count = results.size();
    report.cancelled = results.Cancelled();
    // A mapped file that shrank while it was searched reads as zeros where it lost its pages.
    report.file_shrank = subject.shrank || text->PagesLost();
    report.engine_gave_up = results.EngineGaveUp();
    report.engine_message = results.EngineMessage();
    report.replaced_characters = subject.replaced;
    if (subject.read_error != 0) {
        report.problem = MatchReport::Problem::kFileUnreadable;
        report.error = subject.read_error;
    } else if (!unheld.empty()) {
        report.problem = MatchReport::Problem::kPatternUnheld;
        report.detail = unheld;
    } else if (!compiled) {
        report.problem = MatchReport::Problem::kPatternInvalid;
        report.detail = expression.CompileErrorMessage();
        report.position = expression.CompileErrorPosition();
    } else if (subject.cut != DecodedSubject::Cut::kNone) {
        report.problem = subject.cut == DecodedSubject::Cut::kMalformed
                             ? MatchReport::Problem::kTextCutMalformed
                             : MatchReport::Problem::kTextCutNul;
        report.position = subject.cut_offset;
    }
    if (report.problem == MatchReport::Problem::kNone && results.EngineGaveUp()) {
        report.problem = MatchReport::Problem::kEngineGaveUp;
        report.detail = results.EngineMessage();
    }
    return report;
}

}  // namespace

MatchReport RunMatch(MatchRunIo& io) {
    MatchReport::Stage stage = MatchReport::Stage::kRead;
    try {
        return RunStages(io, stage);
    } catch (const std::bad_alloc&) {
        MatchReport report;
        report.problem = MatchReport::Problem::kOutOfMemory;
        report.stage = stage;
        return report;
    }
}

std::vector<std::string> ResultHeadings(int group_count) {
    std::vector<std::string> headings = {Utf8ToProgramText("序号"), Utf8ToProgramText("匹配文本")};
    const std::string group_heading = Utf8ToProgramText("子表达式匹配");
    for (int j = 1; j <= group_count; ++j) headings.push_back(group_heading + std::to_string(j));
    return headings;
}

std::string CountLine(std::int64_t match_count) {
    return Utf8ToProgramText("共找到 ") + std::to_string(match_count) +
           Utf8ToProgramText(" 处匹配结果：");
}

}  // namespace lintaro
