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
#include "table/result_table_builder.h"

namespace lintaro {

namespace {

MatchReport RunStages(const MatchRequest& request, MatchRunOutput& output, WorkProgress* progress,
                      MatchStage& stage) {
    SubjectBytes bytes = ReadSubjectBytes(request.subject_path, request.subject_files,
                                          ProgramCharset(), progress, request.reading);
    output.StageDone(MatchStage::kRead);
    stage = MatchStage::kDecode;
    SubjectText subject =
        DecodeSubject(std::move(bytes), ProgramCharset(), request.subject_charset);
    output.StageDone(MatchStage::kDecode);
    stage = MatchStage::kSearch;
    // A character the program's text cannot hold would turn into "?", an operator: refuse it.
    const std::string unheld = request.expression
                                   ? std::string()
                                   : FirstUnheldCharacter(request.pattern, ProgramCharset());
    regex compiled_here;
    const bool compiled =
        request.expression ||
        (unheld.empty() &&
         compiled_here.Compile(Utf8ToProgramText(request.pattern), !request.ignore_case));
    const regex& expression = request.expression ? *request.expression : compiled_here;
    const auto text = std::make_shared<const TextBuffer>(std::move(subject.text));
    SearchOptions search = request.search;
    if (text->IsMapped()) search.mapped_text = text.get();
    std::int64_t handed_over = 0;
    // A result that is lost anyway is not handed over before that is known.
    if (output.TakesMatchBatches() && !request.wants_table && progress == nullptr && compiled &&
        !subject.read_error) {
        search.hand_over = [&](const SearchResults& batch) {
            handed_over += batch.size();
            output.ReceiveMatchBatch(batch, *text);
        };
    }
    // A run that can be cancelled searches in a process of its own, which a cancel can end
    // inside one engine call.
    const auto shared_results = std::make_shared<const SearchResults>(
        progress != nullptr ? SearchInWorker(expression, text->View(), search, *progress)
                            : expression.SearchAll(text->View(), search));
    const SearchResults& results = *shared_results;
    output.StageDone(MatchStage::kSearch);
    if (results.EngineStopReason() == EngineStop::kOutOfMemory) throw std::bad_alloc();

    // Built before anything is written, so that running out of memory leaves the front end's
    // count line and table as they were.
    stage = MatchStage::kTable;
    std::optional<ResultTable> table;
    if (request.wants_table) {
        table = BuildResultTable(expression.GetGroupCount(), text,
                                 std::make_shared<const SearchResultRows>(shared_results),
                                 request.heading_width);
    }
    output.ReceiveMatches(shared_results, text);
    const std::int64_t match_count = handed_over + results.size();
    output.SetCountLine(CountLine(match_count));
    if (table) output.ReplaceTable(std::move(*table));

    MatchReport report;
    report.match_count = match_count;
    report.cancelled = results.Cancelled();
    // A mapped file that shrank while it was searched reads as zeros where it lost its pages.
    report.file_shrank = subject.shrank || text->PagesLost();
    report.engine_gave_up = results.EngineGaveUp();
    report.engine_message = results.EngineMessage();
    report.replaced_characters = subject.replaced;
    if (subject.read_error) {
        report.problem = MatchReport::Problem::kFileUnreadable;
        report.error = subject.read_error;
    } else if (!unheld.empty()) {
        report.problem = MatchReport::Problem::kPatternUnheld;
        report.detail = unheld;
    } else if (!compiled) {
        report.problem = MatchReport::Problem::kPatternInvalid;
        report.detail = compiled_here.CompileErrorMessage();
        report.position = compiled_here.CompileErrorPosition();
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

MatchReport RunMatch(const MatchRequest& request, MatchRunOutput& output, WorkProgress* progress) {
    MatchStage stage = MatchStage::kRead;
    try {
        return RunStages(request, output, progress, stage);
    } catch (const std::bad_alloc&) {
        MatchReport report;
        report.problem = MatchReport::Problem::kOutOfMemory;
        report.stage = stage;
        return report;
    }
}

std::shared_ptr<const regex> CompilePattern(const MatchRequest& request) {
    try {
        if (!FirstUnheldCharacter(request.pattern, ProgramCharset()).empty()) return nullptr;
        auto expression = std::make_shared<regex>();
        if (!expression->Compile(Utf8ToProgramText(request.pattern), !request.ignore_case)) {
            return nullptr;
        }
        return expression;
    } catch (const std::bad_alloc&) {
        return nullptr;  // each run tries again, and reports running out of memory
    }
}

std::string CountLine(std::int64_t match_count) {
    return Utf8ToProgramText("共找到 ") + std::to_string(match_count) +
           Utf8ToProgramText(" 处匹配结果：");
}

}  // namespace lintaro
