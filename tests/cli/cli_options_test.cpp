// Tests of reading lintaro-cli's command line.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "match/match_run.h"

namespace lintaro {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string_view> arguments;
    // Expected options, or the expected error when error is not empty.
    std::string pattern;
    bool ignore_case;
    CliOutput output;
    std::string path;
    std::string error;
};

class ParseCliOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(ParseCliOptionsTest, Parses) {
    const OptionsCase& c = GetParam();
    const CliParseResult result = ParseCliOptions(c.arguments);
    if (!c.error.empty()) {
        EXPECT_FALSE(result.options);
        EXPECT_EQ(result.error, c.error);
        return;
    }
    ASSERT_TRUE(result.options) << result.error;
    EXPECT_EQ(result.options->pattern, c.pattern);
    EXPECT_EQ(result.options->ignore_case, c.ignore_case);
    EXPECT_EQ(result.options->output, c.output);
    EXPECT_EQ(result.options->path, c.path);
}

using O = CliOutput;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCliOptionsTest,
    testing::Values(
        OptionsCase{"FileOnly", {"a.html"}, kPresetPattern, true, O::kTable, "a.html", ""},
        OptionsCase{"ShortPattern", {"-e", "x(y)", "f"}, "x(y)", true, O::kTable, "f", ""},
        OptionsCase{"AttachedPattern", {"-ex", "f"}, "x", true, O::kTable, "f", ""},
        OptionsCase{"LongPattern", {"f", "--pattern", "-z"}, "-z", true, O::kTable, "f", ""},
        OptionsCase{"LongPatternWithEquals", {"--pattern=a=b", "f"}, "a=b", true, O::kTable, "f",
                    ""},
        OptionsCase{"EmptyPattern", {"-e", "", "f"}, "", true, O::kTable, "f", ""},
        OptionsCase{"CaseSensitive", {"--case-sensitive", "f"}, kPresetPattern, false, O::kTable,
                    "f", ""},
        OptionsCase{"LastCaseOptionWins", {"--case-sensitive", "-i", "f"}, kPresetPattern, true,
                    O::kTable, "f", ""},
        OptionsCase{"IgnoreCaseLong", {"--ignore-case", "f"}, kPresetPattern, true, O::kTable, "f",
                    ""},
        OptionsCase{"Spans", {"--spans", "f"}, kPresetPattern, true, O::kSpans, "f", ""},
        OptionsCase{"CountTwice", {"--count", "--count", "f"}, kPresetPattern, true, O::kCount,
                    "f", ""},
        OptionsCase{"DashDashEndsOptions", {"--", "-i"}, kPresetPattern, true, O::kTable, "-i", ""},
        OptionsCase{"LoneDashIsAFile", {"-"}, kPresetPattern, true, O::kTable, "-", ""},
        OptionsCase{"NoFile", {"-i"}, "", true, O::kTable, "", "no FILE given"},
        OptionsCase{"TwoFiles", {"a", "b"}, "", true, O::kTable, "", "only one FILE may be given"},
        OptionsCase{"PatternMissing", {"f", "-e"}, "", true, O::kTable, "", "-e needs a pattern"},
        OptionsCase{"UnknownOption", {"--format", "f"}, "", true, O::kTable, "",
                    "unknown option --format"},
        OptionsCase{"SpansAndCount", {"--spans", "--count", "f"}, "", true, O::kTable, "",
                    "--spans and --count exclude each other"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

}  // namespace
}  // namespace lintaro
