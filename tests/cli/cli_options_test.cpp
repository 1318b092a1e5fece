// Tests of reading lintaro-cli's command line.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "match/match_run.h"
#include "match/named_patterns.h"

namespace lintaro {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string_view> arguments;
    // Expected options, or the expected error when error is not empty.
    std::string pattern;
    bool ignore_case;
    CliOutput output;
    std::vector<std::string> paths;
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
    EXPECT_EQ(result.options->paths, c.paths);
}

using O = CliOutput;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCliOptionsTest,
    testing::Values(
        OptionsCase{"FileOnly", {"a.html"}, kPresetPattern, true, O::kTable, {"a.html"}, ""},
        OptionsCase{"ShortPattern", {"-e", "x(y)", "f"}, "x(y)", true, O::kTable, {"f"}, ""},
        OptionsCase{"AttachedPattern", {"-ex", "f"}, "x", true, O::kTable, {"f"}, ""},
        OptionsCase{"GroupedLetters", {"-ie", "x", "f"}, "x", true, O::kTable, {"f"}, ""},
        OptionsCase{"LongPattern", {"f", "--pattern", "-z"}, "-z", true, O::kTable, {"f"}, ""},
        OptionsCase{"LongPatternWithEquals", {"--pattern=a=b", "f"}, "a=b", true, O::kTable, {"f"},
                    ""},
        OptionsCase{"ShortenedLongName", {"--pat=x", "--case", "--sp", "f"}, "x", false,
                    O::kSpans, {"f"}, ""},
        OptionsCase{"EmptyPattern", {"-e", "", "f"}, "", true, O::kTable, {"f"}, ""},
        OptionsCase{"CaseSensitive", {"--case-sensitive", "f"}, kPresetPattern, false, O::kTable,
                    {"f"}, ""},
        OptionsCase{"LastCaseOptionWins", {"--case-sensitive", "-i", "f"}, kPresetPattern, true,
                    O::kTable, {"f"}, ""},
        OptionsCase{"IgnoreCaseLong", {"--ignore-case", "f"}, kPresetPattern, true, O::kTable,
                    {"f"}, ""},
        OptionsCase{"Spans", {"--spans", "f"}, kPresetPattern, true, O::kSpans, {"f"}, ""},
        OptionsCase{"CountTwice", {"--count", "--count", "f"}, kPresetPattern, true, O::kCount,
                    {"f"}, ""},
        OptionsCase{"DashDashEndsOptions", {"--", "-i"}, kPresetPattern, true, O::kTable, {"-i"},
                    ""},
        OptionsCase{"LoneDashIsAFile", {"-"}, kPresetPattern, true, O::kTable, {"-"}, ""},
        OptionsCase{"NoFile", {"-i"}, kPresetPattern, true, O::kTable, {}, ""},
        OptionsCase{"FilesInTheirOrder", {"b", "-i", "a", "--", "-", "--count"}, kPresetPattern,
                    true, O::kTable, {"b", "a", "-", "--count"}, ""},
        OptionsCase{"PatternMissing", {"f", "-e"}, "", true, O::kTable, {}, "-e needs a value"},
        OptionsCase{"LongPatternMissing", {"f", "--pattern"}, "", true, O::kTable, {},
                    "--pattern needs a value"},
        OptionsCase{"UnknownOption", {"--frmat", "f"}, "", true, O::kTable, {},
                    "unknown option --frmat"},
        OptionsCase{"UnknownOptionWithValue", {"--frmat=text", "f"}, "", true, O::kTable, {},
                    "unknown option --frmat"},
        OptionsCase{"Preset", {"--preset=urls", "f"}, FindNamedPattern("urls")->pattern, true,
                    O::kTable, {"f"}, ""},
        OptionsCase{"PresetShortened", {"--pre", "default", "f"}, kPresetPattern, true, O::kTable,
                    {"f"}, ""},
        OptionsCase{"PresetAndPattern", {"--preset=links", "-e", "x", "f"}, "", true, O::kTable,
                    {}, "only one pattern may be given, not both --preset=links and -e x"},
        OptionsCase{"PatternAndPreset", {"--pattern=x", "--preset", "links", "f"}, "", true,
                    O::kTable, {}, "only one pattern may be given, not both --pattern=x and --preset=links"},
        OptionsCase{"UnknownPreset", {"--preset=link", "f"}, "", true, O::kTable, {},
                    "unknown preset link (the presets are default, links, images, emails, urls, "
                    "ipv4)"},
        OptionsCase{"UnknownLetter", {"-iq", "f"}, "", true, O::kTable, {},
                    "unknown option -q"},
        OptionsCase{"AmbiguousName", {"--c", "f"}, "", true, O::kTable, {},
                    "ambiguous option --c (--case-sensitive, --count, --csv, --columns)"},
        OptionsCase{"ValueForAFlag", {"--count=3", "f"}, "", true, O::kTable, {},
                    "--count takes no value"},
        OptionsCase{"SpansAndCount", {"--spans", "--count", "f"}, "", true, O::kTable, {},
                    "--spans, --count, --json, --csv and --format exclude each other"},
        OptionsCase{"CountAndFormat", {"--count", "--format", "text", "f"}, "", true, O::kTable,
                    {}, "--spans, --count, --json, --csv and --format exclude each other"},
        OptionsCase{"FormatMissing", {"f", "--format"}, "", true, O::kTable, {},
                    "--format needs a value"},
        OptionsCase{"UnknownFormat", {"--format", "pdf", "f"}, "", true, O::kTable, {},
                    "unknown format pdf; the formats are styled-links, links, text, table or styled-table"},
        OptionsCase{"RowsWithoutFormat", {"--rows", "1-2", "f"}, "", true, O::kTable, {},
                    "--rows, --link-column and --text-column need --format"},
        OptionsCase{"RowZero", {"--format", "text", "--rows", "0-2", "f"}, "", true, O::kTable,
                    {}, "--rows takes FIRST-LAST counted from 1, FIRST <= LAST"},
        OptionsCase{"ColumnsReversed", {"--format", "text", "--columns", "3-2", "f"}, "", true,
                    O::kTable, {}, "--columns takes FIRST-LAST counted from 1, FIRST <= LAST"},
        OptionsCase{"UnknownEncoding", {"--encoding", "klingon", "f"}, "", true, O::kTable, {},
                    "unknown encoding klingon"},
        // An iconv option would hide the malformed bytes the run must stop at.
        OptionsCase{"EncodingWithIconvOption", {"--encoding=GBK//IGNORE", "f"}, "", true,
                    O::kTable, {}, "unknown encoding GBK//IGNORE"},
        OptionsCase{"EncodingMissing", {"f", "--encoding"}, "", true, O::kTable, {},
                    "--encoding needs a value"},
        OptionsCase{"NegativeLinkColumn", {"--format", "links", "--link-column", "-1", "f"}, "",
                    true, O::kTable, {}, "--link-column takes a column number from 0"},
        OptionsCase{"EmptyOutput", {"--output=", "f"}, "", true, O::kTable, {},
                    "--output needs a file name"},
        OptionsCase{"Json", {"--json", "f"}, kPresetPattern, true, O::kJson, {"f"}, ""},
        OptionsCase{"CsvWithColumns", {"--csv", "--columns=2-3", "--no-header", "f"},
                    kPresetPattern, true, O::kCsv, {"f"}, ""},
        OptionsCase{"JsonAndCsv", {"--json", "--csv", "f"}, "", true, O::kTable, {},
                    "--spans, --count, --json, --csv and --format exclude each other"},
        OptionsCase{"SecondPatternAttached", {"-ea", "-e", "b", "f"}, "", true, O::kTable, {},
                    "only one pattern may be given, not both -e a and -e b"},
        OptionsCase{"SecondPatternSame", {"--pattern", "a", "--pattern=a", "f"}, "", true,
                    O::kTable, {}, "only one pattern may be given, not both --pattern=a and "
                    "--pattern=a"},
        OptionsCase{"NoHeaderWithJson", {"--no-header", "--json", "f"}, "", true, O::kTable, {},
                    "--no-header needs the table or --csv"},
        OptionsCase{"ColumnsWithCount", {"--columns", "1", "-c", "f"}, "", true, O::kTable, {},
                    "--columns needs the table, --csv, --json or --format"},
        OptionsCase{"FilenameWithFormat", {"--format=text", "--with-filename", "f"}, "", true,
                    O::kTable, {},
                    "-H and --format exclude each other: an export has no column for the file"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// --encoding takes iconv's names and aliases, as a separate or an attached value.
TEST(ParseCliOptionsEncoding, ReadsTheName) {
    const std::vector<std::string_view> separate = {"--encoding", "cp936", "f"};
    const std::vector<std::string_view> attached = {"--encoding=Shift_JIS", "f"};
    const std::vector<std::string_view> none = {"f"};
    EXPECT_EQ(ParseCliOptions(separate).options->encoding, "cp936");
    EXPECT_EQ(ParseCliOptions(attached).options->encoding, "Shift_JIS");
    EXPECT_EQ(ParseCliOptions(none).options->encoding, "");
}

// The export options land in their fields; defaults fit the preset pattern's table.
TEST(ParseCliOptionsExport, ReadsFormatSelectionRolesAndOutput) {
    const std::vector<std::string_view> defaults = {"--format", "styled-table", "f"};
    const CliParseResult plain = ParseCliOptions(defaults);
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_EQ(plain.options->output, CliOutput::kExport);
    EXPECT_EQ(plain.options->format, ExportFormat::StyledTablePage);
    EXPECT_FALSE(plain.options->rows);
    EXPECT_FALSE(plain.options->columns);
    EXPECT_EQ(plain.options->link_column, 2);
    EXPECT_EQ(plain.options->text_column, 3);
    EXPECT_EQ(plain.options->output_path, "");

    const std::vector<std::string_view> all = {
        "--format", "styled-links",  "--rows", "2-7",      "--columns", "3", "--link-column",
        "1",        "--text-column", "12",     "--output", "o.html",    "f"};
    const CliParseResult given = ParseCliOptions(all);
    ASSERT_TRUE(given.options) << given.error;
    EXPECT_EQ(given.options->format, ExportFormat::StyledLinkPage);
    EXPECT_EQ(given.options->rows, (IndexRange{2, 7}));
    EXPECT_EQ(given.options->columns, (IndexRange{3, 3}));
    EXPECT_EQ(given.options->link_column, 1);
    EXPECT_EQ(given.options->text_column, 12);
    EXPECT_EQ(given.options->output_path, "o.html");
}

// Every option that takes a value takes it as "--name=value" too, and "--output -" is
// standard output.
TEST(ParseCliOptionsExport, ReadsValuesAfterEqualsSigns) {
    const std::vector<std::string_view> arguments = {
        "--format=links",  "--rows=2-7", "--columns=3", "--link-column=1", "--text-column=12",
        "--output=o.html", "f"};
    const CliParseResult given = ParseCliOptions(arguments);
    ASSERT_TRUE(given.options) << given.error;
    EXPECT_EQ(given.options->format, ExportFormat::LinkList);
    EXPECT_EQ(given.options->rows, (IndexRange{2, 7}));
    EXPECT_EQ(given.options->columns, (IndexRange{3, 3}));
    EXPECT_EQ(given.options->link_column, 1);
    EXPECT_EQ(given.options->text_column, 12);
    EXPECT_EQ(given.options->output_path, "o.html");

    const std::vector<std::string_view> dash = {"--output", "-", "f"};
    const CliParseResult standard_output = ParseCliOptions(dash);
    ASSERT_TRUE(standard_output.options) << standard_output.error;
    EXPECT_EQ(standard_output.options->output_path, "");
}

// Each export format is chosen by its own name.
TEST(ParseCliOptionsExport, EachFormatByItsName) {
    for (const ExportFormatInfo& info : kExportFormats) {
        const std::vector<std::string_view> arguments = {"--format", info.cli_name, "f"};
        const CliParseResult result = ParseCliOptions(arguments);
        ASSERT_TRUE(result.options) << result.error;
        EXPECT_EQ(result.options->format, info.format) << info.cli_name;
    }
}

// -H, or more than one file, starts every line with the file's path.
TEST(ParseCliOptionsFiles, PathsStartLinesWithHOrSeveralFiles) {
    const struct {
        std::vector<std::string_view> arguments;
        bool with_filename;
    } cases[] = {
        {{"a"}, false},     {{}, false},        {{"-H", "a"}, true}, {{"--with-filename"}, true},
        {{"a", "b"}, true}, {{"-", "-"}, true},
    };
    for (const auto& c : cases) {
        const CliParseResult result = ParseCliOptions(c.arguments);
        ASSERT_TRUE(result.options) << result.error;
        EXPECT_EQ(result.options->with_filename, c.with_filename) << c.arguments.size();
    }
}

// --help and --version answer instead of a run, wherever they stand and whatever else is
// there; --help wins. An error before them is still an error.
TEST(ParseCliOptionsAnswers, HelpAndVersion) {
    const struct {
        std::vector<std::string_view> arguments;
        CliAction action;
        const char* error;
    } cases[] = {
        {{"--help"}, CliAction::kHelp, ""},
        {{"-h"}, CliAction::kHelp, ""},
        {{"--count", "--spans=x", "-h"}, CliAction::kRun, "--spans takes no value"},
        {{"-V"}, CliAction::kVersion, ""},
        {{"a", "b", "--version"}, CliAction::kVersion, ""},
        {{"--vers"}, CliAction::kVersion, ""},
        {{"-V", "--help"}, CliAction::kHelp, ""},
        {{"--rows", "1", "-h"}, CliAction::kHelp, ""},
        {{"--", "--help"}, CliAction::kRun, ""},
        {{"--list-presets"}, CliAction::kListPresets, ""},
        {{"--list-presets", "--preset=links"}, CliAction::kListPresets, ""},
        // As with any option that cannot be taken, what was read until then does not count.
        {{"--list-presets", "-e", "x", "--preset=links"},
         CliAction::kRun,
         "only one pattern may be given, not both -e x and --preset=links"},
        {{"--list-presets", "--help"}, CliAction::kHelp, ""},
    };
    for (const auto& c : cases) {
        const CliParseResult result = ParseCliOptions(c.arguments);
        EXPECT_EQ(result.error, c.error) << c.arguments.back();
        if (result.options) {
            EXPECT_EQ(result.options->action, c.action) << c.arguments.back();
        }
    }
}

// The options that take a number.
struct NumberCase {
    std::vector<std::string_view> arguments;
    int threads;             // when error is empty
    double timeout_seconds;  // when error is empty
    const char* error;
};

TEST(ParseCliOptionsNumbers, ThreadsFromOneAndTimeoutAboveZero) {
    const NumberCase cases[] = {
        {{"f"}, 0, 0, ""},
        {{"--threads", "3", "f"}, 3, 0, ""},
        {{"--threads", "1", "--count", "f"}, 1, 0, ""},
        {{"--threads", "0", "f"}, 0, 0, "--threads takes a number from 1"},
        {{"--threads", "-2", "f"}, 0, 0, "--threads takes a number from 1"},
        {{"--threads", "two", "f"}, 0, 0, "--threads takes a number from 1"},
        {{"--threads=2", "f"}, 2, 0, ""},
        {{"f", "--threads"}, 0, 0, "--threads needs a value"},
        {{"--timeout", "1", "f"}, 0, 1, ""},
        {{"--timeout=0.25", "f"}, 0, 0.25, ""},
        {{"--timeout", "0", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "-1", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "x", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "1s", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "nan", "f"}, 0, 0, "--timeout takes a number of seconds above 0"},
        {{"--timeout", "1e9", "f"}, 0, 1e9, ""},
        {{"--timeout", "1e308", "f"}, 0, 0, "--timeout takes at most 1000000000 seconds"},
    };
    for (const NumberCase& c : cases) {
        const CliParseResult result = ParseCliOptions(c.arguments);
        EXPECT_EQ(result.error, c.error) << c.arguments.front() << " " << c.arguments.back();
        if (result.options) {
            EXPECT_EQ(result.options->threads, c.threads);
            EXPECT_EQ(result.options->timeout_seconds, c.timeout_seconds);
        }
    }
}

}  // namespace
}  // namespace lintaro
