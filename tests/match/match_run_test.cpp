// Tests of the match run: the table and count line it leaves and the problems it reports.
#include "match/match_run.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>

#include "match/buffered_run_io.h"
#include "match/subject_text.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Problem = MatchReport::Problem;

class FakeRunIo : public MatchRunIo {
  public:
    std::string Pattern() const override { return pattern; }
    bool IgnoreCase() const override { return ignore_case; }
    std::string SubjectPath() const override { return path; }
    void SetCountLine(const std::string& line) override {
        EXPECT_FALSE(table) << "the count line changes before the table";
        count_line = line;
    }
    void ReplaceTable(ResultTable&& new_table) override { table.emplace(std::move(new_table)); }
    HeadingWidthFunction HeadingWidth() const override {
        return [](std::string_view heading) { return static_cast<int>(heading.size()) * 10; };
    }

    WorkProgress* Progress() override { return progress; }

    std::string pattern = kPresetPattern;
    bool ignore_case = true;
    std::string path = kNoFileCaption;
    std::string count_line;
    std::optional<ResultTable> table;
    WorkProgress* progress = nullptr;
};

// Every cell, rows on lines and cells separated by "|".
std::string Cells(const ResultTable& table) {
    std::string out;
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int column = 0; column < table.ColumnCount(); ++column) {
            if (column > 0) out += "|";
            out += *table.GetCell(row, column);
        }
        out += "\n";
    }
    return out;
}

std::string Widths(const ResultTable& table) {
    std::string out;
    for (int column = 0; column < table.ColumnCount(); ++column) {
        out += (column > 0 ? " " : "") + std::to_string(table.ColumnWidth(column));
    }
    return out;
}

class MatchRunTest : public testing::Test {
  protected:
    // Writes bytes to a file in the test's directory and points the run at it.
    void UseFile(const std::string& bytes) { io_.path = directory_.Write("subject.html", bytes); }
    MatchReport Run(MatchRunIo& io) {
        io_.table.reset();
        return RunMatch(io);
    }

    TempDir directory_;
    FakeRunIo io_;
};

TEST_F(MatchRunTest, StartUpWithPresetPatternAndNoFile) {
    const MatchReport report = Run(io_);
    EXPECT_EQ(report.problem, Problem::kNone);
    EXPECT_EQ(io_.count_line, "共找到 0 处匹配结果：");
    const ResultTable& table = *io_.table;
    EXPECT_EQ(Cells(table), "序号|匹配文本|子表达式匹配1|子表达式匹配2\n");
    EXPECT_EQ(Widths(table), "50 120 344 344");  // column 1 keeps its heading's width
    EXPECT_EQ(table.FixedRowCount(), 1);
    EXPECT_EQ(table.FixedColumnCount(), 1);
    EXPECT_EQ(table.BackgroundColour(), (Rgb{219, 236, 249}));
}

TEST_F(MatchRunTest, ThreeMatchesWithAMissingGroup) {
    io_.pattern = "(\\w+)=(\\d+)?;";
    UseFile("a=1; bb=; c=33;");
    const MatchReport report = Run(io_);
    EXPECT_EQ(report.problem, Problem::kNone);
    EXPECT_EQ(report.match_count, 3);
    EXPECT_EQ(io_.count_line, "共找到 3 处匹配结果：");
    EXPECT_EQ(Cells(*io_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|a=1;|a|1\n"
              "2|bb=;|bb|\n"
              "3|c=33;|c|33\n");
    EXPECT_EQ(io_.table->RowHeight(3), io_.table->RowHeight(0));
}

TEST_F(MatchRunTest, PresetPatternOnAnchors) {
    UseFile(
        "<a href=\"https://x.org/p?q\" class=\"k\">X 站</a>"
        "<a href=\"/relative\">no</a><A HREF=\"http://y.cn\">Y</A>");
    Run(io_);
    EXPECT_EQ(Cells(*io_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|<a href=\"https://x.org/p?q\" class=\"k\">X 站</a>|https://x.org|X 站\n"
              "2|<A HREF=\"http://y.cn\">Y</A>|http://y.cn|Y\n");
    io_.ignore_case = false;
    Run(io_);
    EXPECT_EQ(Cells(*io_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|<A HREF=\"http://y.cn\">Y</A>|http://y.cn|Y\n");
}

TEST_F(MatchRunTest, RerunRereadsTheFileAndLeavesNoOldRows) {
    io_.pattern = "x";
    UseFile("xxx");
    Run(io_);
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本\n1|x\n2|x\n3|x\n");
    Run(io_);
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本\n1|x\n2|x\n3|x\n");
    UseFile("x");
    Run(io_);
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本\n1|x\n");
    EXPECT_EQ(io_.count_line, "共找到 1 处匹配结果：");
}

TEST_F(MatchRunTest, CancelledSearchIsReportedAndItsMatchesListed) {
    io_.pattern = "x";
    UseFile("xxx");
    WorkProgress progress;
    progress.RequestCancel();  // before the first search: nothing is found
    io_.progress = &progress;
    MatchReport report = Run(io_);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.match_count, 0);
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本\n");
    io_.progress = nullptr;
    report = Run(io_);
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.match_count, 3);
}

// The window runs the match on another thread through a buffer: the front end sees nothing
// until the outputs are delivered, and then exactly what a direct run gives.
TEST_F(MatchRunTest, BufferedRunDeliversWhatADirectRunWrites) {
    io_.pattern = "(x)";
    UseFile("axbx");
    WorkProgress progress;
    BufferedRunIo buffered(io_, progress);
    io_.pattern = "changed after the inputs were read";
    io_.table.reset();
    const MatchReport report = RunMatch(buffered);
    EXPECT_EQ(report.match_count, 2);
    EXPECT_FALSE(io_.table);
    EXPECT_EQ(io_.count_line, "");
    EXPECT_EQ(progress.Total(), 4);  // the search reported to the buffer's progress
    buffered.Deliver(io_);
    EXPECT_EQ(io_.count_line, "共找到 2 处匹配结果：");
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本|子表达式匹配1\n1|x|x\n2|x|x\n");
}

// The engine gave up before the text was cut: both are reported, since matches before the
// cut may be missing as well.
TEST_F(MatchRunTest, EngineGivingUpBeforeACutIsReportedBesideIt) {
    io_.pattern = "x|(a+)+$";
    UseFile("x" + std::string(40, 'a') + "b\xFF");
    const MatchReport report = Run(io_);
    EXPECT_EQ(report.problem, Problem::kTextCutMalformed);
    EXPECT_EQ(report.position, 42);
    EXPECT_TRUE(report.engine_gave_up);
    EXPECT_FALSE(report.engine_message.empty());
    EXPECT_EQ(Cells(*io_.table), "序号|匹配文本|子表达式匹配1\n1|x|\n");
}

// Memory running out is reported with what the run was doing, and the front end's count line
// and table stay as they were.
TEST_F(MatchRunTest, RunningOutOfMemoryWritesNothing) {
    struct OutOfMemoryIo : FakeRunIo {
        void ReceiveMatches(const std::shared_ptr<const SearchResults>& /*results*/,
                            const std::shared_ptr<const TextBuffer>& /*text*/) override {
            throw std::bad_alloc();
        }
    } io;
    io.pattern = "a";
    io.path = directory_.Write("subject.html", "aaa");
    io.count_line = "before";
    const MatchReport report = RunMatch(io);
    EXPECT_EQ(report.problem, Problem::kOutOfMemory);
    EXPECT_EQ(report.stage, MatchReport::Stage::kTable);
    EXPECT_EQ(io.count_line, "before");
    EXPECT_FALSE(io.table);
}

struct ProblemCase {
    const char* name;
    std::string pattern;
    std::optional<std::string> file;  // no file: the path names a missing one
    std::string cells;
    Problem problem;
    std::int64_t position = -1;
};

class MatchRunProblemTest : public MatchRunTest, public testing::WithParamInterface<ProblemCase> {};

TEST_P(MatchRunProblemTest, ReportsTheProblem) {
    const ProblemCase& c = GetParam();
    io_.pattern = c.pattern;
    if (c.file) {
        UseFile(*c.file);
    } else {
        io_.path = directory_.Path() / "missing.html";
    }
    const MatchReport report = Run(io_);
    EXPECT_EQ(Cells(*io_.table), c.cells);
    EXPECT_EQ(report.problem, c.problem);
    EXPECT_EQ(report.position, c.position);
    // Only the engine's messages come as text; a reading failure comes as an error number.
    EXPECT_EQ(
        report.problem == Problem::kPatternInvalid || report.problem == Problem::kEngineGaveUp,
        !report.detail.empty())
        << report.detail;
    EXPECT_EQ(report.problem == Problem::kFileUnreadable, report.error != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchRunProblemTest,
    testing::Values(
        ProblemCase{"MissingFileKeepsGroupColumns", "(a)(b)", std::nullopt,
                    "序号|匹配文本|子表达式匹配1|子表达式匹配2\n", Problem::kFileUnreadable},
        ProblemCase{"PatternInvalid", "(a", "aaa", "序号|匹配文本\n", Problem::kPatternInvalid, 2},
        ProblemCase{"EmptyPattern", "", "aaa", "序号|匹配文本\n", Problem::kPatternInvalid, 0},
        ProblemCase{"InvalidPatternWinsOverCutText", "(a", "a\xFF", "序号|匹配文本\n",
                    Problem::kPatternInvalid, 2},
        ProblemCase{"ByteOrderMarkKept", "^...", "\xEF\xBB\xBFxy",
                    "序号|匹配文本\n1|\xEF\xBB\xBF\n", Problem::kNone},
        ProblemCase{"NulEndsText", ".+", std::string("ab\0cd", 5), "序号|匹配文本\n1|ab\n",
                    Problem::kTextCutNul, 2},
        ProblemCase{"GbkFileCut", ".+", "ab\xD6\xD0xy", "序号|匹配文本\n1|ab\n",
                    Problem::kTextCutMalformed, 2},
        ProblemCase{"EngineGivesUp", "x|(a+)+y", "x" + std::string(40, 'a'),
                    "序号|匹配文本|子表达式匹配1\n1|x|\n", Problem::kEngineGaveUp}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

}  // namespace
}  // namespace lintaro
