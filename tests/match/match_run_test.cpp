// Tests of the match run: the table and count line it leaves and the problems it reports.
#include "match/match_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <optional>

#include "match/held_run_output.h"
#include "match/subject_text.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Problem = MatchReport::Problem;

class FakeRunOutput : public MatchRunOutput {
  public:
    void SetCountLine(const std::string& line) override {
        EXPECT_FALSE(table) << "the count line changes before the table";
        count_line = line;
    }
    void ReplaceTable(ResultTable&& new_table) override { table.emplace(std::move(new_table)); }

    std::string count_line;
    std::optional<ResultTable> table;
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
    void UseFile(const std::string& bytes) {
        request_.subject_path = directory_.Write("subject.html", bytes);
    }
    MatchReport Run() {
        output_.table.reset();
        return RunMatch(request_, output_, progress_);
    }

    TempDir directory_;
    MatchRequest request_ = {
        .pattern = kPresetPattern,
        .ignore_case = true,
        .subject_path = kNoFileCaption,
        .heading_width =
            [](std::string_view heading) { return static_cast<int>(heading.size()) * 10; },
    };
    WorkProgress* progress_ = nullptr;
    FakeRunOutput output_;
};

TEST_F(MatchRunTest, StartUpWithPresetPatternAndNoFile) {
    const MatchReport report = Run();
    EXPECT_EQ(report.problem, Problem::kNone);
    EXPECT_EQ(output_.count_line, "共找到 0 处匹配结果：");
    const ResultTable& table = *output_.table;
    EXPECT_EQ(Cells(table), "序号|匹配文本|子表达式匹配1|子表达式匹配2\n");
    EXPECT_EQ(Widths(table), "50 120 344 344");  // column 1 keeps its heading's width
    EXPECT_EQ(table.FixedRowCount(), 1);
    EXPECT_EQ(table.FixedColumnCount(), 1);
    EXPECT_EQ(table.BackgroundColour(), (Rgb{219, 236, 249}));
}

TEST_F(MatchRunTest, ThreeMatchesWithAMissingGroup) {
    request_.pattern = "(\\w+)=(\\d+)?;";
    UseFile("a=1; bb=; c=33;");
    const MatchReport report = Run();
    EXPECT_EQ(report.problem, Problem::kNone);
    EXPECT_EQ(report.match_count, 3);
    EXPECT_EQ(output_.count_line, "共找到 3 处匹配结果：");
    EXPECT_EQ(Cells(*output_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|a=1;|a|1\n"
              "2|bb=;|bb|\n"
              "3|c=33;|c|33\n");
    EXPECT_EQ(output_.table->RowHeight(3), output_.table->RowHeight(0));
}

TEST_F(MatchRunTest, PresetPatternOnAnchors) {
    UseFile(
        "<a href=\"https://x.org/p?q\" class=\"k\">X 站</a>"
        "<a href=\"/relative\">no</a><A HREF=\"http://y.cn\">Y</A>");
    Run();
    EXPECT_EQ(Cells(*output_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|<a href=\"https://x.org/p?q\" class=\"k\">X 站</a>|https://x.org|X 站\n"
              "2|<A HREF=\"http://y.cn\">Y</A>|http://y.cn|Y\n");
    request_.ignore_case = false;
    Run();
    EXPECT_EQ(Cells(*output_.table),
              "序号|匹配文本|子表达式匹配1|子表达式匹配2\n"
              "1|<A HREF=\"http://y.cn\">Y</A>|http://y.cn|Y\n");
}

TEST_F(MatchRunTest, RerunRereadsTheFileAndLeavesNoOldRows) {
    request_.pattern = "x";
    UseFile("xxx");
    Run();
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本\n1|x\n2|x\n3|x\n");
    Run();
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本\n1|x\n2|x\n3|x\n");
    UseFile("x");
    Run();
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本\n1|x\n");
    EXPECT_EQ(output_.count_line, "共找到 1 处匹配结果：");
}

// A mapped file (big enough to be mapped rather than read) cut to one page once its text is
// decoded, while it is searched: a search in the worker process reads the lost pages there,
// and this process still learns of it, as it does when it searches itself.
TEST_F(MatchRunTest, FileCutWhileSearchedIsReportedFromEitherSearch) {
    struct CuttingOutput : FakeRunOutput {
        void StageDone(MatchStage stage) override {
            if (stage == MatchStage::kDecode) std::filesystem::resize_file(path, 4096);
        }
        std::string path;
    };
    for (const bool in_worker : {false, true}) {
        request_.pattern = "b";
        UseFile(std::string(4096, 'a') + std::string(std::size_t{64} * 4096, 'b'));
        request_.reading = SubjectReading::kMap;
        CuttingOutput output;
        output.path = request_.subject_path;
        WorkProgress progress;
        const MatchReport report = RunMatch(request_, output, in_worker ? &progress : nullptr);
        EXPECT_TRUE(report.file_shrank) << (in_worker ? "in the worker" : "here");
        EXPECT_EQ(report.match_count, 0);
    }
}

TEST_F(MatchRunTest, CancelledSearchIsReportedAndItsMatchesListed) {
    request_.pattern = "x";
    UseFile("xxx");
    WorkProgress progress;
    progress.RequestCancel();  // before the first search: nothing is found
    progress_ = &progress;
    MatchReport report = Run();
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.match_count, 0);
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本\n");
    progress_ = nullptr;
    report = Run();
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.match_count, 3);
}

// The window runs the match on another thread and holds its outputs back: the front end sees
// nothing until they are delivered, and then exactly what a direct run gives.
TEST_F(MatchRunTest, HeldRunDeliversWhatADirectRunWrites) {
    request_.pattern = "(x)";
    UseFile("axbx");
    WorkProgress progress;
    HeldRunOutput held;
    const MatchReport report = RunMatch(request_, held, &progress);
    EXPECT_EQ(report.match_count, 2);
    EXPECT_EQ(progress.Total(), 4);  // the search reported to the run's progress
    EXPECT_FALSE(output_.table);
    held.Deliver(output_);
    EXPECT_EQ(output_.count_line, "共找到 2 处匹配结果：");
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本|子表达式匹配1\n1|x|x\n2|x|x\n");
}

// The engine gave up before the text was cut: both are reported, since matches before the
// cut may be missing as well.
TEST_F(MatchRunTest, EngineGivingUpBeforeACutIsReportedBesideIt) {
    request_.pattern = "x|(a+)+$";
    UseFile("x" + std::string(40, 'a') + "b\xFF");
    const MatchReport report = Run();
    EXPECT_EQ(report.problem, Problem::kTextCutMalformed);
    EXPECT_EQ(report.position, 42);
    EXPECT_TRUE(report.engine_gave_up);
    EXPECT_FALSE(report.engine_message.empty());
    EXPECT_EQ(Cells(*output_.table), "序号|匹配文本|子表达式匹配1\n1|x|\n");
}

// Memory running out is reported with what the run was doing, and the front end's count line
// and table stay as they were.
TEST_F(MatchRunTest, RunningOutOfMemoryWritesNothing) {
    struct OutOfMemoryOutput : FakeRunOutput {
        void ReceiveMatches(const std::shared_ptr<const SearchResults>& /*results*/,
                            const std::shared_ptr<const TextBuffer>& /*text*/) override {
            throw std::bad_alloc();
        }
    } output;
    request_.pattern = "a";
    UseFile("aaa");
    output.count_line = "before";
    const MatchReport report = RunMatch(request_, output);
    EXPECT_EQ(report.problem, Problem::kOutOfMemory);
    EXPECT_EQ(report.stage, MatchStage::kTable);
    EXPECT_EQ(output.count_line, "before");
    EXPECT_FALSE(output.table);
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
    request_.pattern = c.pattern;
    if (c.file) {
        UseFile(*c.file);
    } else {
        request_.subject_path = directory_.Path() / "missing.html";
    }
    const MatchReport report = Run();
    EXPECT_EQ(Cells(*output_.table), c.cells);
    EXPECT_EQ(report.problem, c.problem);
    EXPECT_EQ(report.position, c.position);
    // Only the engine's messages come as text; a reading failure comes as an error number.
    EXPECT_EQ(
        report.problem == Problem::kPatternInvalid || report.problem == Problem::kEngineGaveUp,
        !report.detail.empty())
        << report.detail;
    EXPECT_EQ(report.problem == Problem::kFileUnreadable, static_cast<bool>(report.error));
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
