// Tests of the batch program's words for a run's report: every problem and what is said
// beside it, and whether the file's result is lost.
#include "cli/cli_messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "base/error.h"

namespace lintaro {
namespace {

using Problem = MatchReport::Problem;

struct MessagesCase {
    const char* name;
    MatchReport report;
    std::vector<std::string> lines;
    bool lost;
    std::string encoding = {};
};

class CliMessagesTest : public testing::TestWithParam<MessagesCase> {};

TEST_P(CliMessagesTest, SaysWhatTheReportSays) {
    const MessagesCase& c = GetParam();
    const RunDiagnosis diagnosis = DiagnoseRun(c.report, "page.html", c.encoding, 1.5);
    EXPECT_EQ(diagnosis.lines, c.lines);
    EXPECT_EQ(diagnosis.lost, c.lost);
}

MatchReport Report(Problem problem, std::int64_t position = -1, std::int64_t matches = 0) {
    MatchReport report;
    report.problem = problem;
    report.position = position;
    report.match_count = matches;
    return report;
}

MatchReport With(MatchReport report, void (*change)(MatchReport&)) {
    change(report);
    return report;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, CliMessagesTest,
    testing::Values(
        MessagesCase{"NoProblem", Report(Problem::kNone, -1, 3), {}, false},
        MessagesCase{"Unreadable",
                     With(Report(Problem::kFileUnreadable),
                          [](MatchReport& r) { r.error = SystemError(EACCES); }),
                     {"cannot read page.html: Permission denied"}, true},
        MessagesCase{"NoFileNamed",
                     With(Report(Problem::kFileUnreadable),
                          [](MatchReport& r) { r.error = LintaroError::kNoFileNamed; }),
                     {"cannot read page.html: no file named"}, true},
        MessagesCase{"PatternInvalid",
                     With(Report(Problem::kPatternInvalid),
                          [](MatchReport& r) { r.detail = "Unmatched ("; }),
                     {"the pattern does not compile: Unmatched ("}, true},
        MessagesCase{"PatternNotUtf8",
                     With(Report(Problem::kPatternUnheld),
                          [](MatchReport& r) { r.detail = "\xFE"; }),
                     {"the pattern is not UTF-8: it holds the byte \\xFE"}, true},
        MessagesCase{"CutInTheChosenSet", Report(Problem::kTextCutMalformed, 4, 1),
                     {"warning: page.html is not valid GBK at byte 4; only the text before it "
                      "was searched"}, false, "GBK"},
        MessagesCase{"CutAtNulWhereTheEngineAlsoGaveUp",
                     With(Report(Problem::kTextCutNul, 9, 2),
                          [](MatchReport& r) {
                              r.engine_gave_up = true;
                              r.engine_message = "too complex";
                          }),
                     {"warning: page.html holds a NUL byte at byte 9; only the text before it "
                      "was searched",
                      "warning: the regular-expression engine also gave up after 2 matches, "
                      "before the cut: too complex"}, false},
        MessagesCase{"EngineGaveUp",
                     With(Report(Problem::kEngineGaveUp, -1, 5),
                          [](MatchReport& r) { r.detail = "too complex"; }),
                     {"warning: the regular-expression engine gave up after 5 matches: "
                      "too complex"}, false},
        MessagesCase{"OutOfMemory",
                     With(Report(Problem::kOutOfMemory),
                          [](MatchReport& r) { r.stage = MatchStage::kTable; }),
                     {"out of memory while building the table"}, true},
        // Said beside the problem, in this order.
        MessagesCase{"ReplacedShrankAndStoppedByTheTimeout",
                     With(Report(Problem::kNone, -1, 7),
                          [](MatchReport& r) {
                              r.replaced_characters = 3;
                              r.file_shrank = true;
                              r.cancelled = true;
                          }),
                     {"warning: 3 characters of page.html cannot be held in the locale's "
                      "character set UTF-8 and were replaced by \"?\"",
                      "warning: page.html was truncated while it was read; only the text that "
                      "arrived was searched",
                      "warning: the run was stopped after --timeout 1.5 s; only the 7 matches "
                      "found until then are printed"}, false}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

TEST(CliMessagesTest, NamesStandardInputAndWriteFailures) {
    EXPECT_EQ(MessageName("-"), "standard input");
    EXPECT_EQ(MessageName("./-"), "./-");
    EXPECT_EQ(WriteFailureLine("standard output", SystemError(ENOSPC)),
              "cannot write standard output: No space left on device");
}

}  // namespace
}  // namespace lintaro
