// Tests of the built lintaro-cli program on files and standard input: output, messages and
// exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_option_table.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

struct CliCase {
    const char* name;
    // "FILE" stands for the file holding content, "EXAMPLE" for the shipped example page.
    std::vector<std::string> arguments;
    std::string content;
    std::string out;
    // "PATH" stands for the file holding content. With err_is_prefix only the start is
    // compared (the rest is the engine's own wording).
    std::string err;
    int status;
    bool err_is_prefix = false;
    // Standard input; without it the program reads /dev/null.
    std::optional<std::string> input = {};
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Each test gets a fresh directory for its files.
class CliProgramTest : public testing::Test {
  protected:
    // Runs lintaro-cli with arguments, with environment set on top of the test's own.
    static ProgramOutcome Run(std::vector<std::string> arguments, Environment environment = {},
                              std::optional<std::string> input = {}) {
        return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                           .arguments = std::move(arguments),
                           .input = std::move(input),
                           .environment = std::move(environment)});
    }

    TempDir directory_;
};

class LintaroCliTest : public CliProgramTest, public testing::WithParamInterface<CliCase> {};

TEST_P(LintaroCliTest, PrintsAndExits) {
    const CliCase& c = GetParam();
    const std::filesystem::path file = directory_.Write("subject.txt", c.content);
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "FILE"      ? file.string()
                            : argument == "EXAMPLE" ? LINTARO_SOURCE_DIR "/examples/links.html"
                                                    : argument);
    }
    const ProgramOutcome outcome = Run(arguments, {}, c.input);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, c.out);
    std::string err = c.err;
    if (const std::size_t at = err.find("PATH"); at != std::string::npos) {
        err.replace(at, 4, file.string());
    }
    if (c.err_is_prefix) {
        EXPECT_EQ(outcome.err.substr(0, err.size()), err) << outcome.err;
        EXPECT_GT(outcome.err.size(), err.size()) << "the engine's own words follow";
    } else {
        EXPECT_EQ(outcome.err, err);
    }
}

const std::string kHeader = "序号\t匹配文本\n";
const std::string kGroupsHeader = "序号\t匹配文本\t子表达式匹配1\t子表达式匹配2\n";
const std::string kUsageHint =
    "Usage: lintaro-cli [OPTION]... [FILE]...\n"
    "Try 'lintaro-cli --help' for more information.\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, LintaroCliTest,
    testing::Values(
        CliCase{"PresetPatternTable", {"FILE"},
                "<A HREF=\"https://a.org/x\">A\tb</A><a href=\"rel\">r</a>",
                kGroupsHeader + "1\t<A HREF=\"https://a.org/x\">A\\tb</A>\thttps://a.org\tA\\tb\n",
                "", 0},
        CliCase{"ExamplePage", {"--count", "EXAMPLE"}, "", "5\n", "", 0},
        CliCase{"NoMatchKeepsGroupColumns", {"FILE"}, "nothing", kGroupsHeader, "", 1},
        CliCase{"ByteOrderMarkKept", {"-e", "^.{3}", "--spans", "FILE"}, "\xEF\xBB\xBFz",
                "1\t0,3\n", "", 0},
        CliCase{"NulCuts", {"-e", ".+", "FILE"}, std::string("ab\0cd", 5), kHeader + "1\tab\n",
                "lintaro-cli: warning: PATH holds a NUL byte at byte 2; only the text before it was "
                "searched\n",
                0},
        CliCase{"GbkFileCut", {"-e", ".+", "FILE"}, "ab\xD6\xD0xy", kHeader + "1\tab\n",
                "lintaro-cli: warning: PATH is not valid UTF-8 at byte 2; only the text before it "
                "was searched\n",
                0},
        // A cut or an engine that gave up is a warning: the status says whether there was a match.
        CliCase{"CutBeforeAnyMatch", {"-e", "x", "--count", "FILE"}, "a\xFFx", "0\n",
                "lintaro-cli: warning: PATH is not valid UTF-8 at byte 1; only the text before it "
                "was searched\n",
                1},
        CliCase{"EngineGivesUp", {"-e", "x|(a+)+y", "--spans", "FILE"}, "x" + std::string(40, 'a'),
                "1\t0,1\t-\n",
                "lintaro-cli: warning: the regular-expression engine gave up after 1 matches: ", 0,
                true},
        CliCase{"BadPattern", {"-e", "(", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: ", 2, true},
        CliCase{"EmptyPattern", {"-e", "", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: the pattern is empty\n", 2},
        CliCase{"UsageError", {"--frmat", "FILE"}, "x", "",
                "lintaro-cli: unknown option --frmat\n" + kUsageHint, 2},
        CliCase{"AmbiguousOption", {"--co", "FILE"}, "x", "",
                "lintaro-cli: ambiguous option --co (--count, --columns)\n" + kUsageHint, 2},
        CliCase{"Version", {"--version"}, "", "lintaro-cli " LINTARO_VERSION "\n", "", 0},
        CliCase{"VersionShort", {"-V", "FILE"}, "", "lintaro-cli " LINTARO_VERSION "\n", "", 0},
        CliCase{"EveryLongOptionTakesEquals",
                {"--pattern=(\\w)(\\d)", "--format=text", "--rows=2-2", "--columns=2-3",
                 "--threads=1", "--output=-", "FILE"},
                "a1 b2 c3", "b    2    \r\n", "", 0},
        // A sequence the named set cannot decode cuts the text there, at the file's byte offset.
        CliCase{"EncodingCut", {"-e", ".+", "--encoding", "GBK", "FILE"}, "ab\xD6\xD0\xFFz",
                kHeader + "1\tab中\n",
                "lintaro-cli: warning: PATH is not valid GBK at byte 4; only the text before it "
                "was searched\n",
                0},
        CliCase{"UnknownEncoding", {"--encoding=klingon", "FILE"}, "x", "",
                "lintaro-cli: unknown encoding klingon\n" + kUsageHint, 2},
        CliCase{"MissingFile", {"/nonexistent/lintaro.html"}, "", "",
                "lintaro-cli: cannot read /nonexistent/lintaro.html: No such file or directory\n", 2},
        CliCase{"Directory", {"/"}, "", "", "lintaro-cli: cannot read /: Is a directory\n", 2},
        CliCase{"ExportLinksWithDefaultRoles", {"--format", "links", "FILE"},
                "<a href=\"https://a.org/p\">文</a> <A HREF=\"http://b.cn\">b</A>",
                "<meta charset=\"utf-8\">\r\n<a href=\"https://a.org\">文</a><br/>\r\n"
                "<a href=\"http://b.cn\">b</a><br/>\r\n",
                "",
                0},
        CliCase{"ExportTextOfChosenCells",
                {"-e", "(\\w)(\\d)", "--format", "text", "--rows", "2-3", "--columns", "2-3",
                 "FILE"},
                "a1 b2 c3", "b    2    \r\nc    3    \r\n", "", 0},
        CliCase{"ExportRowsOfAnEmptyTable", {"--format", "table", "--rows", "1-2", "FILE"}, "none",
                "", "lintaro-cli: nothing to export: no match was found\n", 1},
        CliCase{"ExportNothingFound", {"--format", "styled-links", "FILE"}, "none", "",
                "lintaro-cli: nothing to export: no match was found\n", 1},
        // CSV as RFC 4180 has it: quoted fields where needed, CR LF, a header row.
        CliCase{"Csv", {"--csv", "-e", "([a-z]+)(,)?", "FILE"}, "ab, \"c\"\nd",
                "序号,匹配文本,子表达式匹配1,子表达式匹配2\r\n1,\"ab,\",ab,\",\"\r\n2,c,c,\r\n3,d,d,\r\n",
                "", 0},
        CliCase{"CsvQuotesLineEnds", {"--csv", "--no-header", "-e", "\"[^\"]*\"", "FILE"},
                "\"a\r\nb\"", "1,\"\"\"a\r\nb\"\"\"\r\n", "", 0},
        CliCase{"TsvWithoutHeader", {"--no-header", "-e", "\\w", "FILE"}, "a b", "1\ta\n2\tb\n", "",
                0},
        CliCase{"TsvColumns", {"--columns=2-2", "-e", "(\\w)(\\d)", "FILE"}, "a1 b2",
                "序号\t子表达式匹配1\n1\ta\n2\tb\n", "", 0},
        CliCase{"CsvColumnsPastTheEnd", {"--csv", "--columns=3-9", "-e", "(\\w)(\\d)", "FILE"}, "a1",
                "序号,子表达式匹配2\r\n1,1\r\n", "", 0},
        // A cut UTF-8 text names the set the page declares and the option to read it in.
        CliCase{"CutOffersTheDeclaredSet", {"-c", "-e", "ab", "FILE"},
                "<meta charset=\"GBK\">ab\xD6\xD0", "1\n",
                "lintaro-cli: warning: PATH is not valid UTF-8 at byte 22; only the text before "
                "it was searched; it declares gbk: try --encoding=gbk\n",
                0},
        // --encoding=auto: a mark or a declaration that fits, else UTF-8, else GB18030, else
        // UTF-8 cut at the first malformed byte.
        CliCase{"AutoDeclared", {"--encoding=auto", "-e", "[^>]+$", "FILE"},
                "<meta charset=\"gbk\">\xD6\xD0\xCE\xC4", kHeader + "1\t中文\n", "", 0},
        CliCase{"AutoByteOrderMark", {"--encoding=auto", "-e", "\\S+", "FILE"},
                "\xFF\xFE\x2D\x4E\x87\x65", kHeader + "1\t中文\n", "", 0},
        CliCase{"AutoUtf8", {"--encoding=auto", "-e", "\\S+", "FILE"}, "中文",
                kHeader + "1\t中文\n", "", 0},
        CliCase{"AutoGb18030", {"--encoding=auto", "-e", "\\S+", "FILE"}, "\xD6\xD0\xCE\xC4",
                kHeader + "1\t中文\n", "", 0},
        CliCase{"AutoNeither", {"--encoding=auto", "-e", "\\S+", "FILE"}, "ab\xFF",
                kHeader + "1\tab\n",
                "lintaro-cli: warning: PATH is not valid UTF-8 at byte 2; only the text before it "
                "was searched\n",
                0},
        // The number of matches only, as grep -c prints it.
        CliCase{"CountShort", {"-c", "-e", "a", "FILE"}, "banana", "3\n", "", 0},
        // Surprising habits that are errors or warnings now.
        CliCase{"SecondPattern", {"-e", "a", "--pattern=b", "FILE"}, "ab", "",
                "lintaro-cli: only one pattern may be given, not both -e a and --pattern=b\n" +
                    kUsageHint,
                2},
        CliCase{"FilenameWithFormat", {"-H", "--format", "text", "FILE"}, "x", "",
                "lintaro-cli: -H and --format exclude each other: an export has no column for "
                "the file\n" + kUsageHint,
                2},
        CliCase{"UnknownFormatListsTheNames", {"--format", "pdf", "FILE"}, "x", "",
                "lintaro-cli: unknown format pdf; the formats are styled-links, links, text, table "
                "or styled-table\n" + kUsageHint,
                2},
        // --rows past the last row takes the rows there are, as head does; a start past the
        // last row selects nothing.
        CliCase{"ExportRowsPastTheEnd", {"-e", "\\w", "--format", "text", "--rows", "2-9", "FILE"},
                "a b c", "b\r\nc\r\n", "", 0},
        CliCase{"ExportRowsStartPastTheEnd",
                {"-e", "\\w", "--format", "text", "--rows", "4-9", "FILE"}, "a b c", "",
                "lintaro-cli: nothing to export: --rows 4-9 starts past the table's last, 3\n", 1},
        CliCase{"ExportColumnsPastTheEnd",
                {"-e", "(\\w)", "--format", "text", "--columns", "2-5", "FILE"}, "a b", "a\r\nb\r\n",
                "", 0},
        // A role outside the table is said; the export still reads its cells as empty.
        CliCase{"LinkColumnOutsideTheTable",
                {"-e", "\\w", "--format", "links", "--link-column", "4", "--text-column", "1",
                 "FILE"},
                "a", "<meta charset=\"utf-8\">\r\n<a href=\"\">a</a><br/>\r\n",
                "lintaro-cli: warning: --link-column 4 lies outside the table, whose columns are "
                "0-1; its cells read as empty\n",
                0},

        // Standard input: "-", or no FILE at all when it is not a terminal; read to its end
        // through a pipe, however long (here 3 MB, far past a pipe's buffer).
        CliCase{"NoFileReadsStandardInput", {"-e", "b+"}, "", kHeader + "1\tbb\n", "", 0, false,
                "abba"},
        CliCase{"DashReadsStandardInput", {"--spans", "-e", "z$", "-"}, "",
                "1\t3000000,1\n", "", 0, false, std::string(3000000, 'y') + "z"},
        CliCase{"StandardInputNamedInWarnings", {"-e", ".", "--count"}, "",
                "1\n",
                "lintaro-cli: warning: standard input holds a NUL byte at byte 1; only the text "
                "before it was searched\n",
                0, false, std::string("a\0b", 3)},
        CliCase{"EmptyStandardInput", {"--count"}, "", "0\n", "", 1, false,
                ""}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// The table operations, each on a small page: href in group 1 (column 2), text in group 2.
const std::string kAnchor = "<a href=\"([^\"]*)\">([^<]*)</a>";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TableOperations, LintaroCliTest,
    testing::Values(
        CliCase{"DecodeEntities", {"-e", kAnchor, "--decode-entities=2,3", "FILE"},
                "<a href=\"x?a=1&amp;b=2\">&eacute;中&#x6587;</a>",
                kGroupsHeader + "1\t<a href=\"x?a=1&amp;b=2\">&eacute;中&#x6587;</a>\tx?a=1&b=2\té中文\n",
                "", 0},
        CliCase{"ResolveLinksAgainstSavedFrom", {"-e", kAnchor, "--resolve-links=2", "FILE"},
                "<!-- saved from url=(0022)https://e.org/d/p.html -->"
                "<a href=\"../x\">x</a><a href=\"mailto:m@e.org\">m</a><a href=\"#t\">t</a>",
                kGroupsHeader + "1\t<a href=\"../x\">x</a>\thttps://e.org/x\tx\n"
                "2\t<a href=\"mailto:m@e.org\">m</a>\tmailto:m@e.org\tm\n"
                "3\t<a href=\"#t\">t</a>\t#t\tt\n",
                "", 0},
        CliCase{"ResolveLinksAgainstBaseOption",
                {"-e", kAnchor, "--resolve-links=2", "--base=https://e.org/a/", "FILE"},
                "<a href=\"b c\">x</a>",
                kGroupsHeader + "1\t<a href=\"b c\">x</a>\thttps://e.org/a/b%20c\tx\n", "", 0},
        CliCase{"ResolveLinksWithoutBase", {"-e", kAnchor, "--resolve-links=2", "FILE"},
                "<a href=\"x\">x</a>", kGroupsHeader + "1\t<a href=\"x\">x</a>\tx\tx\n",
                "lintaro-cli: --resolve-links=2: 1 relative links left as they are: the page "
                "names no base; give one with --base=URL\n",
                0},
        CliCase{"Trim", {"-e", kAnchor, "--trim=3", "FILE"}, "<a href=\"x\">\n  中文\n  链接 </a>",
                kGroupsHeader + "1\t<a href=\"x\">\\n  中文\\n  链接 </a>\tx\t中文 链接\n", "", 0},
        CliCase{"Unique", {"-e", kAnchor, "--unique=2", "FILE"},
                "<a href=\"x\">1</a><a href=\"y\">2</a><a href=\"x\">3</a><a href=\"\">4</a>",
                kGroupsHeader + "1\t<a href=\"x\">1</a>\tx\t1\n2\t<a href=\"y\">2</a>\ty\t2\n"
                "3\t<a href=\"\">4</a>\t\t4\n",
                "lintaro-cli: --unique=2: removed 1 rows, 3 left\n", 0},
        CliCase{"Sort", {"-e", kAnchor, "--sort=3", "FILE"},
                "<a href=\"a\">10</a><a href=\"b\">9</a><a href=\"c\">-1</a>",
                kGroupsHeader + "1\t<a href=\"c\">-1</a>\tc\t-1\n2\t<a href=\"b\">9</a>\tb\t9\n"
                "3\t<a href=\"a\">10</a>\ta\t10\n",
                "", 0},
        CliCase{"OperationsInTheirOrder",
                {"-e", kAnchor, "--sort=2", "--unique=2", "--trim=2", "--decode-entities=2", "FILE"},
                "<a href=\" b&amp;\">1</a><a href=\"a\">2</a><a href=\"b&\">3</a>",
                kGroupsHeader + "1\t<a href=\"a\">2</a>\ta\t2\n2\t<a href=\" b&amp;\">1</a>\tb&\t1\n",
                "lintaro-cli: --unique=2: removed 1 rows, 2 left\n", 0},
        CliCase{"ColumnOutsideTheTable", {"-e", kAnchor, "--sort=4", "FILE"}, "<a href=\"x\">x</a>",
                "", "lintaro-cli: --sort=4: column 4 is outside the table: it has columns 1 to 3\n" +
                kUsageHint, 2},
        CliCase{"ColumnNumberZero", {"--trim=0", "FILE"}, "", "",
                "lintaro-cli: --trim takes a column number from 1, or a comma list\n" + kUsageHint, 2},
        CliCase{"BaseWithoutResolve", {"--base=https://e.org/", "FILE"}, "", "",
                "lintaro-cli: --base needs --resolve-links\n" + kUsageHint, 2},
        CliCase{"OperationsWithCount", {"--count", "--trim=2", "FILE"}, "", "",
                "lintaro-cli: the table operations do not go with --spans or --count\n" + kUsageHint,
                2}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// Standard input that is a regular file standing past its start (a shell read a line of it
// first) is searched from where it stands, and a second "-" finds the rest: nothing.
TEST_F(CliProgramTest, StandardInputIsSearchedFromWhereItStands) {
    const std::filesystem::path file = directory_.Write("subject.txt", "skip\nab\n");
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", "{ read -r line; \"$0\" --count -e b - -; } < \"$1\"",
                                  LINTARO_BINARY_DIR "/lintaro-cli", file.string()}});
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, "(standard input)\t1\n(standard input)\t0\n");
}

// A file cut after its search, while its rows are written into a pipe that waits for a
// reader: the rows from then on would hold zero bytes, so the program says so and fails.
TEST_F(CliProgramTest, FileCutWhileItsRowsAreWrittenFails) {
    std::string lines;
    while (lines.size() < (std::size_t{16} << 20)) lines += std::string(63, 'a') + "\n";
    const std::filesystem::path file = directory_.Write("subject.txt", lines);
    const std::string script =
        "mkfifo \"$2.fifo\" || exit; { \"$0\" -e 'a+' \"$1\" > \"$2.fifo\" 2> \"$2.err\"; "
        "echo $? > \"$2.status\"; } & exec 3< \"$2.fifo\"; head -c 1000 <&3 > /dev/null; "
        "truncate -s 4096 \"$1\"; cat <&3 > /dev/null; wait; cat \"$2.status\" \"$2.err\"";
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", script, LINTARO_BINARY_DIR "/lintaro-cli", file.string(),
                                  (directory_.Path() / "out").string()}});
    EXPECT_EQ(outcome.out, "2\nlintaro-cli: " + file.string() +
                               " was truncated while its output was written: the output holds "
                               "zero bytes where the lost text was\n");
}

// A big file's matches are printed while the search goes on, a part of the text at a time;
// the output is that of the search that keeps every match before it prints (--timeout's, in a
// process of its own), whatever is printed.
TEST_F(CliProgramTest, MatchesPrintedWhileSearchingAreTheKeptResult) {
    std::string page;
    for (int i = 0; page.size() < (std::size_t{5} << 20); ++i) {
        page += "<A HREF=\"https://h" + std::to_string(i % 977) + ".cn/p?q=" + std::to_string(i) +
                "\">t\t" + std::to_string(i) + "</A> w\\x" + std::string(i % 7, ' ') + "\n";
    }
    const std::string file = directory_.Write("big.html", page).string();
    const std::vector<std::vector<std::string>> outputs = {
        {},
        {"--json"},
        {"--csv", "--no-header"},
        {"--spans"},
        {"--count"},
        {"-e", "\\w+(\\\\x)?"},
        {"-H", "-e", "\\w+", "--columns=1-1"},
        {"-e", "(?s)<A.*A>"},
    };
    for (const std::vector<std::string>& options : outputs) {
        std::vector<std::string> printed = options;
        printed.push_back(file);
        std::vector<std::string> kept = options;
        kept.insert(kept.end(), {"--timeout=600", file});
        const ProgramOutcome while_searching = Run(printed);
        const ProgramOutcome after = Run(kept);
        EXPECT_EQ(while_searching.status, 0) << while_searching.err;
        EXPECT_EQ(while_searching.err, "");
        EXPECT_FALSE(while_searching.out.empty());
        EXPECT_TRUE(while_searching.out == after.out) << (options.empty() ? "" : options[0]);
    }
}

// Where no thread can be started, the run that prints while it searches searches each part
// itself when the join comes to it: the same output, still a part at a time.
TEST_F(CliProgramTest, MatchesPrintedWhileSearchingWithoutThreads) {
    std::string text;
    for (int i = 0; text.size() < (std::size_t{3} << 20); ++i) {
        text += "word" + std::to_string(i % 1013) + (i % 5 == 0 ? "\n" : " ");
    }
    const auto run = [&](std::optional<int> task_limit) {
        // The leak check at exit needs a thread of its own, which the limit may refuse.
        return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                           .arguments = {"-e", "\\w+", "--spans", "-"},
                           .input = text,
                           .environment = {{"ASAN_OPTIONS", "detect_leaks=0"}},
                           .task_limit = task_limit});
    };
    const ProgramOutcome with_threads = run(std::nullopt);
    ASSERT_EQ(with_threads.status, 0) << with_threads.err;
    const ProgramOutcome alone = run(1);
    EXPECT_EQ(alone.status, 0) << alone.err;
    EXPECT_EQ(alone.err, "");
    EXPECT_TRUE(alone.out == with_threads.out);
}

// The table operations and the rows after them share their work among threads on a long
// table; where no thread can be started, or one is asked for, the output is the same.
TEST_F(CliProgramTest, TableOperationsWithoutThreads) {
    std::string text;
    for (int i = 0; i < 150000; ++i) {
        text += "w" + std::to_string((i * 7919) % 30011) + (i % 5 == 0 ? "\n" : " ");
    }
    const auto run = [&](std::vector<std::string> arguments, std::optional<int> task_limit) {
        arguments.insert(arguments.end(), {"-e", "w(\\d)(\\d*)", "-"});
        // The leak check at exit needs a thread of its own, which the limit may refuse.
        return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                           .arguments = arguments,
                           .input = text,
                           .environment = {{"ASAN_OPTIONS", "detect_leaks=0"}},
                           .task_limit = task_limit});
    };
    for (const std::vector<std::string>& operations :
         {std::vector<std::string>{"--sort=3"}, {"--unique=3", "--sort=2", "--json"}}) {
        const ProgramOutcome with_threads = run(operations, std::nullopt);
        ASSERT_EQ(with_threads.status, 0) << with_threads.err;
        std::vector<std::string> one_thread = operations;
        one_thread.emplace_back("--threads=1");
        const ProgramOutcome asked_for_one = run(one_thread, std::nullopt);
        const ProgramOutcome alone = run(operations, 1);
        EXPECT_EQ(alone.status, 0) << alone.err;
        EXPECT_TRUE(asked_for_one.out == with_threads.out) << operations[0];
        EXPECT_TRUE(alone.out == with_threads.out) << operations[0];
    }
}

// --list-presets prints one tab-separated line per named pattern; --preset runs one.
TEST_F(CliProgramTest, PresetsAreListedAndRun) {
    const ProgramOutcome listed = Run({"--list-presets"}, {}, "");
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, CliPresetListText());
    EXPECT_TRUE(listed.out.starts_with(std::string("default\t")));
    const std::filesystem::path file =
        directory_.Write("page.html", "<!-- <a href=/c>c</a> --><A class=x HREF='/a'>A</A>\n");
    const ProgramOutcome run = Run({"--preset=links", file.string()}, {}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "序号\t匹配文本\t子表达式匹配1\t子表达式匹配2\n"
              "1\t<A class=x HREF='/a'>A</A>\t/a\tA\n");
    EXPECT_EQ(Run({"-e", "x", "--preset=links", file.string()}, {}, "").status, 2);
}

// --help prints the help made from the option table on standard output, every option in the
// form help2man turns into the manual page's list, and ends with status 0.
TEST_F(CliProgramTest, HelpListsEveryOptionOfTheTable) {
    for (const char* option : {"--help", "-h", "--he"}) {
        const ProgramOutcome outcome = Run({"-i", option, "no such file"}, {}, "x");
        EXPECT_EQ(outcome.status, 0) << option;
        EXPECT_EQ(outcome.out, CliHelpText()) << option;
        EXPECT_EQ(outcome.err, "") << option;
    }
    const std::string help = CliHelpText();
    EXPECT_TRUE(help.starts_with("Usage: lintaro-cli [OPTION]... [FILE]...\n"));
    for (const CliOptionSpec& option : CliOptionTable()) {
        std::string shown = std::string("--") + option.long_name;
        if (option.value_name != nullptr) shown += std::string("=") + option.value_name;
        shown = (option.short_name != 0 ? std::string("  -") + option.short_name + ", "
                                        : std::string("      ")) +
                shown;
        // The text follows after two spaces, or on the next line when the name is long.
        EXPECT_TRUE(help.find("\n" + shown + "  ") != std::string::npos ||
                    help.find("\n" + shown + "\n") != std::string::npos)
            << shown;
    }
}

// The help names the export formats in the order of the window's buttons, filled into lines
// that fit a terminal 80 characters wide.
TEST(CliHelpText, NamesTheFormatsInTheButtonsOrder) {
    EXPECT_NE(CliHelpText().find("\n\nFORMAT is styled-links, links, text, table or styled-table: "
                                 "the text the window\nprogram lintaro exports for the selected "
                                 "cells.\n\n"),
              std::string::npos);
}

struct SeveralFilesCase {
    const char* name;
    // "<A>" holds two matches of "\d", "<B>" none, "<MISSING>" is not there; "-" is standard
    // input. In the outputs too, each stands for its path.
    std::vector<std::string> arguments;
    std::string out;
    std::string err;
    int status;
    std::optional<std::string> input = {};
};

class SeveralFilesTest : public CliProgramTest,
                         public testing::WithParamInterface<SeveralFilesCase> {};

// Every "<A>", "<B>" and "<MISSING>" replaced by its path.
std::string WithPaths(std::string text,
                      const std::vector<std::pair<std::string, std::string>>& paths) {
    for (const auto& [name, path] : paths) {
        for (std::size_t at = text.find(name); at != std::string::npos;
             at = text.find(name, at + path.size())) {
            text.replace(at, name.size(), path);
        }
    }
    return text;
}

TEST_P(SeveralFilesTest, RunsEachFileInTurn) {
    const SeveralFilesCase& c = GetParam();
    const std::vector<std::pair<std::string, std::string>> paths = {
        {"<A>", directory_.Write("a.txt", "x1 y2")},
        {"<B>", directory_.Write("b.txt", "none")},
        {"<MISSING>", directory_.Slash() + "missing.txt"},
    };
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        std::string replaced = argument;
        for (const auto& [name, path] : paths) {
            if (argument == name) replaced = path;
        }
        arguments.push_back(replaced);
    }
    const ProgramOutcome outcome = Run(arguments, {}, c.input);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, WithPaths(c.out, paths));
    EXPECT_EQ(outcome.err, WithPaths(c.err, paths));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, SeveralFilesTest,
    testing::Values(
        // The header once, with an empty first field so that its columns stay over the rows'.
        SeveralFilesCase{"Table", {"-e", "(\\d)", "<A>", "<B>", "<A>"},
                         "\t序号\t匹配文本\t子表达式匹配1\n"
                         "<A>\t1\t1\t1\n<A>\t2\t2\t2\n<A>\t1\t1\t1\n<A>\t2\t2\t2\n", "", 0},
        SeveralFilesCase{"OneFileWithFilename", {"-H", "-e", "\\d", "<A>"},
                         "\t序号\t匹配文本\n<A>\t1\t1\n<A>\t2\t2\n", "", 0},
        SeveralFilesCase{"Spans", {"--spans", "-e", "\\d", "<B>", "<A>"}, "<A>\t1\t1,1\n<A>\t2\t4,1\n", "",
                         0},
        SeveralFilesCase{"CountOneFileWithFilename", {"-c", "-H", "-e", "\\d", "<A>"}, "<A>\t2\n", "",
                         0},
        SeveralFilesCase{"NoneMatches", {"--count", "-e", "\\d", "<B>", "<B>"},
                         "<B>\t0\n<B>\t0\n", "", 1},
        // An unreadable file is reported, the others still run, and the status says an error.
        SeveralFilesCase{"UnreadableAmongThem", {"--count", "-e", "\\d", "<A>", "<MISSING>", "<B>"},
                         "<A>\t2\n<B>\t0\n",
                         "lintaro-cli: cannot read <MISSING>: No such file or directory\n", 2},
        SeveralFilesCase{"OnlyUnreadable", {"<MISSING>", "<MISSING>"}, "",
                         "lintaro-cli: cannot read <MISSING>: No such file or directory\n"
                         "lintaro-cli: cannot read <MISSING>: No such file or directory\n", 2},
        // A pattern that does not compile is said once, and ends the run.
        SeveralFilesCase{"BadPattern", {"-e", "", "<A>", "<B>"}, "",
                         "lintaro-cli: the pattern does not compile: the pattern is empty\n", 2},
        SeveralFilesCase{"StandardInputAmongThem", {"--count", "-e", "\\d", "-", "<A>"},
                         "(standard input)\t3\n<A>\t2\n", "", 0,
                         "123"},
        // --format exports the rows of every file as one selection: rows 2-3 are A's second
        // and, after B's none, A's first again.
        SeveralFilesCase{"ExportOneSelection",
                         {"-e", "(\\w)(\\d)", "--format", "text", "--rows", "2-3", "--columns", "1-2",
                          "<A>", "<B>", "<A>"},
                         "y2    y    \r\nx1    x    \r\n", "", 0},
        SeveralFilesCase{"ExportRowsBeyondAllFiles",
                         {"-e", "\\d", "--format", "text", "--rows", "5", "<A>", "<A>"}, "",
                         "lintaro-cli: nothing to export: --rows 5-5 starts past the table's "
                         "last, 4\n", 1},
        SeveralFilesCase{"ExportNothingFound", {"-e", "\\d", "--format", "table", "<B>", "<B>"}, "",
                         "lintaro-cli: nothing to export: no match was found\n", 1}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// With no FILE and standard input a terminal, there is nothing to read: a usage error.
// script(1) gives the program a terminal (its output comes back with CR LF line ends).
TEST_F(CliProgramTest, NoFileAndATerminalIsAUsageError) {
    if (FindOnPath("script").empty()) GTEST_SKIP() << "script is not installed";
    const ProgramOutcome outcome = RunProgram(
        {.program = "script",
         .arguments = {"-q", "-e", "-c", LINTARO_BINARY_DIR "/lintaro-cli --count", "/dev/null"}});
    EXPECT_EQ(outcome.status, 2) << outcome.out;
    EXPECT_EQ(outcome.out,
              "lintaro-cli: no FILE given, and standard input is a terminal\r\n"
              "Usage: lintaro-cli [OPTION]... [FILE]...\r\n"
              "Try 'lintaro-cli --help' for more information.\r\n");
}

// Standard output that cannot take the output is an error that says why.
TEST_F(CliProgramTest, FullStandardOutput) {
    const std::string file = directory_.Write("page.txt", "a");
    const ProgramOutcome outcome =
        RunProgram({.program = "sh",
                    .arguments = {"-c", "exec \"$0\" -e a \"$1\" >/dev/full",
                                  LINTARO_BINARY_DIR "/lintaro-cli", file}});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "lintaro-cli: cannot write standard output: No space left on device\n");
}

// Under a GBK locale the program's text is GBK: offsets count its bytes, while the pattern is
// read and the table printed in UTF-8. What GBK cannot hold is said, never lost silently.
TEST_F(CliProgramTest, GbkLocale) {
    const std::filesystem::path locales = directory_.Path() / "locales";
    std::filesystem::create_directory(locales);
    const ProgramOutcome made = RunProgram(
        {.program = "localedef", .arguments = {"-i", "zh_CN", "-f", "GBK", locales / "zh_CN.GBK"}});
    if (made.start_error != 0 || made.status != 0) GTEST_SKIP() << "cannot make a GBK locale";
    const Environment environment = {{"LOCPATH", locales}, {"LC_ALL", "zh_CN.GBK"}};
    const std::string file = directory_.Write("subject.html", "<A HREF=\"http://a.cn/x\">中文</A>");

    const ProgramOutcome table = Run({file}, environment);
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out,
              "序号\t匹配文本\t子表达式匹配1\t子表达式匹配2\n"
              "1\t<A HREF=\"http://a.cn/x\">中文</A>\thttp://a.cn\t中文\n");

    const ProgramOutcome spans = Run({"-e", "中(.)", "--spans", file}, environment);
    EXPECT_EQ(spans.out, "1\t24,3\t26,1\n");

    const std::string unheld = directory_.Write("unheld.txt", "中 한국 😀 ß ö");
    const ProgramOutcome replaced = Run({"-e", ".+", unheld}, environment);
    EXPECT_EQ(replaced.status, 0);
    EXPECT_EQ(replaced.out, "序号\t匹配文本\n1\t中 ?? ? ? ?\n");
    EXPECT_EQ(replaced.err, "lintaro-cli: warning: 5 characters of " + unheld +
                                " cannot be held in the locale's character set GBK and were "
                                "replaced by \"?\"\n");

    // The export text is converted a block at a time, never cutting a character in two: here
    // one row of two megabytes, as "." also matches a line feed.
    std::string lines;
    for (int i = 0; i < 300'000; ++i) lines += "中文\n";
    const std::string many = directory_.Write("many.txt", lines);
    const ProgramOutcome exported = Run({"-e", ".+", "--format", "text", many}, environment);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_TRUE(exported.out == lines + "\r\n") << exported.out.size();

    // "?" is an operator: the pattern must not silently become another one.
    const ProgramOutcome refused = Run({"-e", "文😀", file}, environment);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "lintaro-cli: the pattern holds 😀, which the locale's character set GBK cannot "
              "hold\n");
}

// Converts UTF-8 into charset for a test file.
std::string Encoded(const std::string& utf8, const std::string& charset) {
    iconv_t descriptor = iconv_open(charset.c_str(), "UTF-8");
    EXPECT_NE(descriptor, reinterpret_cast<iconv_t>(-1)) << charset;
    std::string out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* target = out.data();
    std::size_t target_left = out.size();
    EXPECT_NE(iconv(descriptor, &in, &in_left, &target, &target_left), static_cast<std::size_t>(-1))
        << charset;
    iconv_close(descriptor);
    out.resize(out.size() - target_left);
    return out;
}

struct EncodingCase {
    const char* name;
    std::string encoding;  // --encoding's value and the set the file is written in
    std::string mark;      // a byte-order mark written before the text
    std::string text;      // UTF-8: what the set holds of Chinese, Japanese, Korean and Latin
};

class EncodingTest : public CliProgramTest, public testing::WithParamInterface<EncodingCase> {};

// A page in each set, read with --encoding, gives the table of its UTF-8 original.
TEST_P(EncodingTest, ReadsThePageInItsSet) {
    const EncodingCase& c = GetParam();
    const std::string page = "<p><A HREF=\"https://a.cn/p\">" + c.text + "</A></p>";
    const std::string file = directory_.Write("page.html", c.mark + Encoded(page, c.encoding));
    const ProgramOutcome outcome = Run({"--encoding", c.encoding, file});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, kGroupsHeader + "1\t<A HREF=\"https://a.cn/p\">" + c.text +
                               "</A>\thttps://a.cn\t" + c.text + "\n");
}

const std::string kAllScripts = "中文 かな 한국어 Latin ß ö é 😀";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, EncodingTest,
    testing::Values(
        EncodingCase{"Gbk", "GBK", "", "中文 かな カナ Latin"},
        EncodingCase{"Gb18030", "gb18030", "", kAllScripts},
        EncodingCase{"Cp936", "cp936", "", "简体中文 ひらがな Latin"},
        EncodingCase{"Big5", "big5", "", "繁體中文 Latin"},
        EncodingCase{"ShiftJis", "shift_jis", "", "日本語 かな カナ Latin"},
        EncodingCase{"EucJp", "euc-jp", "", "日本語 かな カナ Latin"},
        EncodingCase{"EucKr", "euc-kr", "", "한국어 漢字 Latin"},
        EncodingCase{"Windows1252", "windows-1252", "", "Latin café € ß ö"},
        EncodingCase{"Latin1", "iso-8859-1", "", "Latin café ß ö"},
        EncodingCase{"Utf16LeWithMark", "utf-16le", "\xFF\xFE", kAllScripts},
        EncodingCase{"Utf16LeWithoutMark", "utf-16le", "", kAllScripts},
        EncodingCase{"Utf16BeWithMark", "UTF-16BE", "\xFE\xFF", kAllScripts},
        EncodingCase{"Utf16BeWithoutMark", "UTF-16BE", "", kAllScripts}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// --output writes the export as UTF-8 into the named file and nothing on standard output.
TEST_F(CliProgramTest, ExportToOutputFile) {
    const std::string file = directory_.Write("page.html", "<a href=\"https://x.org\">X</a>");
    const ProgramOutcome outcome =
        Run({"--format", "styled-links", "--output", directory_.Slash() + "links page.html", file});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    const std::string page = directory_.Read("links page.html");
    EXPECT_TRUE(page.starts_with("<!doctype html>\n"));
    EXPECT_NE(page.find("<h2>\xE5\xAF\xBC\xE5\x87\xBA</h2><TEXT>"), std::string::npos);
    EXPECT_NE(page.find(">X</b>"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</TEXT></div></div>\n</body>\n</html>\r\n"));

    const std::string unwritable = directory_.Slash() + "missing/o.txt";
    const ProgramOutcome failed = Run({"--format", "text", "--output", unwritable, file});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err,
              "lintaro-cli: cannot write " + unwritable + ": No such file or directory\n");
}

// A device or a FIFO named by --output is written into, as the shell's ">" writes, and stays
// what it was; through a symbolic link, the file it leads to is replaced and the link stays.
TEST_F(CliProgramTest, OutputIntoAFifoAndThroughASymbolicLink) {
    const std::string file = directory_.Write("page.txt", "a b");
    const std::string expected =
        "\xE5\xBA\x8F\xE5\x8F\xB7\t\xE5\x8C\xB9\xE9\x85\x8D\xE6\x96\x87\xE6\x9C\xAC\n1\ta\n2\tb\n";

    const std::filesystem::path fifo = directory_.Path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened for reading before the program runs, without waiting for a writer; the output is
    // smaller than the pipe's buffer, so it waits there until it is read.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const ProgramOutcome into_fifo = Run({"-e", "\\w", "--output", fifo.string(), file});
    std::string arrived;
    char buffer[4096];
    for (ssize_t got; (got = read(reader, buffer, sizeof buffer)) > 0;)
        arrived.append(buffer, static_cast<std::size_t>(got));
    close(reader);
    EXPECT_EQ(into_fifo.status, 0) << into_fifo.err;
    EXPECT_EQ(arrived, expected);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    const std::string target = directory_.Write("target.txt", "old");
    const std::filesystem::path link = directory_.Path() / "link.txt";
    std::filesystem::create_symlink(target, link);
    const ProgramOutcome through_link = Run({"-e", "\\w", "--output", link.string(), file});
    EXPECT_EQ(through_link.status, 0) << through_link.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(directory_.Read("target.txt"), expected);
    EXPECT_EQ(directory_.Names(),
              (std::set<std::string>{"fifo", "link.txt", "page.txt", "target.txt"}));
}

// Process substitution names a pipe that another program writes: it is read to its end.
TEST_F(CliProgramTest, ReadsAProcessSubstitution) {
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/bash",
                    .arguments = {"-c", "\"$0\" -e '\\w' <(sleep 0.2; printf 'a b')",
                                  LINTARO_BINARY_DIR "/lintaro-cli"}});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out,
              "\xE5\xBA\x8F\xE5\x8F\xB7\t\xE5\x8C\xB9\xE9\x85\x8D\xE6\x96\x87\xE6\x9C\xAC\n"
              "1\ta\n2\tb\n");
}

struct DescriptorCase {
    const char* name;
    std::string output;  // what --output names; "LINK" is a symbolic link to /dev/stdout
    int descriptor;      // the descriptor the shell points at the log
    const char* redirection;
    std::string log;  // the log once the program has run
};

class OutputDescriptorTest : public CliProgramTest,
                             public testing::WithParamInterface<DescriptorCase> {};

// A name for a descriptor the shell has already opened is written through that descriptor,
// where it stands: an appended log keeps its lines, and a header written before stays.
TEST_P(OutputDescriptorTest, WritesWhereTheDescriptorStands) {
    const DescriptorCase& c = GetParam();
    const std::string file = directory_.Write("page.txt", "a b");
    const std::string log = directory_.Write("log.txt", "old\n");
    const std::filesystem::path link = directory_.Path() / "link";
    std::filesystem::create_symlink("/dev/stdout", link);
    const std::string fd = std::to_string(c.descriptor);
    const std::string script = "{ printf 'header\\n' >&" + fd +
                               "; \"$0\" -e '\\w' --output \"$3\" \"$1\"; } " + fd + c.redirection +
                               " \"$2\"";
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", script, LINTARO_BINARY_DIR "/lintaro-cli", file, log,
                                  c.output == "LINK" ? link.string() : c.output}});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(directory_.Read("log.txt"),
              c.log +
                  "\xE5\xBA\x8F\xE5\x8F\xB7\t\xE5\x8C\xB9\xE9\x85\x8D\xE6\x96\x87"
                  "\xE6\x9C\xAC\n1\ta\n2\tb\n");
    EXPECT_EQ(directory_.Names(), (std::set<std::string>{"link", "log.txt", "page.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputDescriptorTest,
    testing::Values(DescriptorCase{"StandardOutputAppended", "/dev/stdout", 1, ">>",
                                   "old\nheader\n"},
                    DescriptorCase{"StandardOutputAfterAHeader", "/dev/stdout", 1, ">", "header\n"},
                    DescriptorCase{"StandardError", "/dev/stderr", 2, ">>", "old\nheader\n"},
                    DescriptorCase{"DevFd", "/dev/fd/3", 3, ">>", "old\nheader\n"},
                    DescriptorCase{"ProcSelfFd", "/proc/self/fd/1", 1, ">>", "old\nheader\n"},
                    DescriptorCase{"ThroughASymbolicLink", "LINK", 1, ">>", "old\nheader\n"}),
    [](const testing::TestParamInfo<DescriptorCase>& row) { return row.param.name; });

// Through a dangling symbolic link the file it points to is created, as the shell's ">"
// creates it; a loop of links is an error that names the path, and the links stay.
TEST_F(CliProgramTest, OutputThroughDanglingAndLoopingLinks) {
    const std::string file = directory_.Write("page.txt", "a b");
    const std::filesystem::path dangling = directory_.Path() / "dangling";
    std::filesystem::create_symlink("made.txt", dangling);
    const ProgramOutcome made =
        Run({"-e", "\\w", "--format", "text", "--output", dangling.string(), file});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(directory_.Read("made.txt"), "a\r\nb\r\n");

    const std::filesystem::path loop = directory_.Path() / "loop";
    std::filesystem::create_symlink("loop", loop);
    const ProgramOutcome looped =
        Run({"-e", "\\w", "--format", "text", "--output", loop.string(), file});
    EXPECT_EQ(looped.status, 2);
    EXPECT_EQ(looped.err, "lintaro-cli: cannot write " + loop.string() +
                              ": Too many levels of symbolic links\n");
    EXPECT_TRUE(std::filesystem::is_symlink(loop));
    EXPECT_EQ(directory_.Names(),
              (std::set<std::string>{"dangling", "loop", "made.txt", "page.txt"}));
}

// --json gives JSON Lines that a real parser reads back: every field, null for a group that
// took no part, escapes for quotes and control characters, U+FFFD for a character cut in
// two, and the file of each object. Python prints what it parsed, one object per line.
TEST_F(CliProgramTest, JsonLinesParseBack) {
    if (FindOnPath("python3").empty()) GTEST_SKIP() << "python3 is not installed";
    const std::string file = directory_.Write("page.txt", "a\"\x01\t\\ 中文 b");
    const std::string script =
        "\"$0\" --json -H -e '(a)([^ ]+)|(b)|中.' \"$1\" | python3 -c 'import json, sys\n"
        "for line in sys.stdin: print(repr(sorted(json.loads(line).items())))'";
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", script, LINTARO_BINARY_DIR "/lintaro-cli", file}});
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              "[('file', '" + file +
                  "'), ('groups', [{'text': 'a', 'offset': 0, 'length': 1}, {'text': "
                  "'\"\\x01\\t\\\\', 'offset': 1, 'length': 4}, None]), ('length', 5), ('match', "
                  "'a\"\\x01\\t\\\\'), ('number', 1), ('offset', 0)]\n"
                  "[('file', '" +
                  file +
                  "'), ('groups', [None, None, None]), ('length', 4), ('match', '中\uFFFD'), "
                  "('number', 2), ('offset', 6)]\n"
                  "[('file', '" +
                  file +
                  "'), ('groups', [None, None, {'text': 'b', 'offset': 13, 'length': 1}]), "
                  "('length', 1), ('match', 'b'), ('number', 3), ('offset', 13)]\n");
    const ProgramOutcome selected = Run({"--json", "--columns=3-3", "-e", "(a)(b)?", file});
    EXPECT_EQ(selected.out, "{\"number\":1,\"groups\":[null]}\n");
}

// -r walks folders: regular files in byte order of their paths, named as reached, symbolic
// links inside followed only with -R (a loop walked once), --include and --exclude on the
// name, and "." with no FILE. The output is the same with one thread or many.
TEST_F(CliProgramTest, RecursiveWalksFoldersInPathOrder) {
    namespace fs = std::filesystem;
    const fs::path tree = directory_.Path() / "tree";
    fs::create_directories(tree / "sub" / "deep");
    fs::create_directories(directory_.Path() / "outside");
    directory_.Write("tree/b.html", "1");
    directory_.Write("tree/a.txt", "22");
    directory_.Write("tree/sub/deep/c.html", "333");
    directory_.Write("tree/sub-x.html", "4");
    directory_.Write("outside/d.html", "55555");
    fs::create_directory_symlink("../../outside", tree / "sub" / "link");
    fs::create_directory_symlink("..", tree / "sub" / "loop");
    const std::string t = tree.string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-r", "-c", "-e", "\\d", t},
         t + "/a.txt\t2\n" + t + "/b.html\t1\n" + t + "/sub-x.html\t1\n" + t +
             "/sub/deep/c.html\t3\n"},
        {{"-R", "-c", "-e", "\\d", "--include=*.html", "--exclude=b*", t + "/"},
         t + "/sub-x.html\t1\n" + t + "/sub/deep/c.html\t3\n" + t + "/sub/link/d.html\t5\n"},
        {{"-r", "--json", "-e", "\\d+", t + "/sub"},
         "{\"file\":\"" + t +
             "/sub/deep/c.html\",\"number\":1,\"match\":\"333\",\"offset\":0,"
             "\"length\":3,\"groups\":[]}\n"},
    };
    for (const auto& [arguments, expected] : cases) {
        const ProgramOutcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out, expected) << arguments[0];
    }
    const ProgramOutcome here =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", "cd \"$1\" && \"$0\" -r -c -e '\\d' --exclude='*.html'",
                                  LINTARO_BINARY_DIR "/lintaro-cli", t}});
    EXPECT_EQ(here.out, "a.txt\t2\n");

    // Many files, more than one batch of them: as many threads as asked, the bytes of one
    // thread's run.
    for (int i = 0; i < 7; ++i) fs::create_directory(tree / ("many" + std::to_string(i)));
    for (int i = 0; i < 150; ++i) {
        directory_.Write("tree/many" + std::to_string(i % 7) + "/f" + std::to_string(i),
                         std::string(static_cast<std::size_t>(i) * 50, 'x') + "1 2");
    }
    const ProgramOutcome one = Run({"-r", "--threads=1", "-e", "(\\d)|x{7}", t});
    const ProgramOutcome many = Run({"-r", "--threads=4", "-e", "(\\d)|x{7}", t});
    EXPECT_EQ(one.status, 0);
    EXPECT_GT(one.out.size(), 10000U);
    EXPECT_TRUE(one.out == many.out);
}

// In a walk, a file that cannot be read is said and the walk goes on, ending with status 2;
// a cut text is one warning line per file, and -s says neither.
TEST_F(CliProgramTest, RecursiveReportsAndGoesOn) {
    std::filesystem::create_directory(directory_.Path() / "tree");
    directory_.Write("tree/a.txt", "1");
    directory_.Write("tree/b.txt", "2\xFF");
    directory_.Write("tree/c.txt", "3\xFF\xFF");
    const std::string t = (directory_.Path() / "tree").string();
    const ProgramOutcome warned = Run({"-r", "-c", "-e", "\\d", t});
    EXPECT_EQ(warned.status, 0);
    EXPECT_EQ(warned.out, t + "/a.txt\t1\n" + t + "/b.txt\t1\n" + t + "/c.txt\t1\n");
    EXPECT_EQ(warned.err,
              "lintaro-cli: warning: " + t +
                  "/b.txt is not valid UTF-8 at byte 1; only the text before it was searched\n"
                  "lintaro-cli: warning: " +
                  t +
                  "/c.txt is not valid UTF-8 at byte 1; only the text before it was searched\n");
    const ProgramOutcome quiet = Run({"-r", "-s", "-c", "-e", "\\d", t});
    EXPECT_EQ(quiet.out, warned.out);
    EXPECT_EQ(quiet.err, "");

    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    ASSERT_EQ(chmod((t + "/b.txt").c_str(), 0), 0);
    const ProgramOutcome unreadable = Run({"-r", "-c", "-e", "\\d", t});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(unreadable.out, t + "/a.txt\t1\n" + t + "/c.txt\t1\n");
    EXPECT_EQ(unreadable.err, "lintaro-cli: cannot read " + t +
                                  "/b.txt: Permission denied\nlintaro-cli: warning: " + t +
                                  "/c.txt is not valid UTF-8 at byte 1; only the text before it "
                                  "was searched\n");
    const ProgramOutcome silenced = Run({"-r", "-s", "-c", "-e", "\\d", t});
    EXPECT_EQ(silenced.status, 2);
    EXPECT_EQ(silenced.err, "");
}

// A folder split by GNU parallel into several lintaro-cli runs gives, sorted, the JSON Lines of
// one -r run: each record names its file, so the parts can be joined in any order.
TEST_F(CliProgramTest, GnuParallelPartsEqualOneRecursiveRun) {
    if (FindOnPath("parallel").empty()) GTEST_SKIP() << "GNU parallel is not installed";
    namespace fs = std::filesystem;
    const fs::path tree = directory_.Path() / "site";
    for (int i = 0; i < 40; ++i) {
        const fs::path folder = tree / ("s" + std::to_string(i % 5));
        fs::create_directories(folder);
        directory_.Write("site/s" + std::to_string(i % 5) + "/p" + std::to_string(i) + ".html",
                         "<a href=\"https://h" + std::to_string(i) + ".org/x\">page " +
                             std::to_string(i) + "</a> <A HREF=\"http://b.cn\">\"b\"</A>");
    }
    const std::string script =
        "find \"$1\" -type f -print0 | parallel --will-cite -0 -X -n 7 \"$0\" --json -H "
        "| LC_ALL=C sort > \"$1.parts\" && \"$0\" -r --json \"$1\" | LC_ALL=C sort > \"$1.one\" "
        "&& cmp \"$1.parts\" \"$1.one\" && wc -l < \"$1.one\"";
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/sh",
                    .arguments = {"-c", script, LINTARO_BINARY_DIR "/lintaro-cli", tree.string()}});
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "80\n");
}

// The bash completion made at build time completes the table's options, the --format names
// and --encoding's, under bash-completion as the installed script is loaded.
TEST_F(CliProgramTest, BashCompletionCompletesOptionsAndValues) {
    const std::string library = "/usr/share/bash-completion/bash_completion";
    if (!std::filesystem::exists(library)) GTEST_SKIP() << "bash-completion is not installed";
    const std::string script =
        // compopt works only inside a completion that bash itself started.
        "source \"$1\"; source \"$2\"; compopt() { :; }; complete_words() { COMP_WORDS=(\"$@\"); "
        "COMP_CWORD=$(($# - 1)); COMP_LINE=\"$*\"; COMP_POINT=${#COMP_LINE}; COMPREPLY=(); "
        "_lintaro_cli; printf '%s\\n' \"${COMPREPLY[*]}\"; }; "
        "complete_words lintaro-cli --fo; complete_words lintaro-cli --format st; "
        "complete_words lintaro-cli --encoding=a; complete_words lintaro-cli --no-; "
        "complete_words lintaro-cli -e x";
    const ProgramOutcome outcome =
        RunProgram({.program = "/bin/bash",
                    .arguments = {"-c", script, "bash", library,
                                  LINTARO_BINARY_DIR "/completion/lintaro-cli"}});
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              "--format=\nstyled-links styled-table\nauto\n--no-header --no-messages\n\n");
}

// --output naming one of the files to search, by its own name or another, is refused before
// anything is read, and the file stays as it was.
TEST_F(CliProgramTest, OutputNamingAnInputIsRefused) {
    const std::string file = directory_.Write("page.txt", "a b");
    const std::filesystem::path link = directory_.Path() / "link.txt";
    std::filesystem::create_symlink(file, link);
    for (const std::string& output : {file, link.string()}) {
        const ProgramOutcome outcome =
            Run({"-e", "\\w", "--output", output, directory_.Slash() + "missing.txt", file});
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "lintaro-cli: --output " + output + " is the input file " + file +
                                   "; it is left as it was\n");
        EXPECT_EQ(directory_.Read("page.txt"), "a b");
    }
}

// A run whose only file cannot be read, or whose pattern does not compile, prints nothing:
// the output file is not replaced, whatever the output.
TEST_F(CliProgramTest, RunThatPrintsNothingKeepsTheOutputFile) {
    const std::string page = directory_.Write("page.txt", "a b").string();
    const std::string output = directory_.Write("out.txt", "old").string();
    const std::vector<std::vector<std::string>> runs = {
        {"--output", output, directory_.Slash() + "missing.txt"},
        {"--json", "--output", output, directory_.Slash() + "missing.txt"},
        {"--spans", "-e", "(", "--output", output, page},
    };
    for (const std::vector<std::string>& arguments : runs) {
        const ProgramOutcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments[0];
        EXPECT_EQ(directory_.Read("out.txt"), "old") << arguments[0];
    }
}

// Replacing a file keeps its mode; a file with another hard link is refused and kept.
TEST_F(CliProgramTest, OutputOverAnExistingFile) {
    const std::string file = directory_.Write("page.txt", "a b");
    const std::string script = directory_.Write("script.sh", "old");
    ASSERT_EQ(chmod(script.c_str(), 0750), 0);
    const ProgramOutcome replaced =
        Run({"-e", "\\w", "--format", "text", "--output", script, file});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(directory_.Read("script.sh"), "a\r\nb\r\n");
    EXPECT_EQ(std::filesystem::status(script).permissions(),
              static_cast<std::filesystem::perms>(0750));

    const std::string linked = directory_.Write("linked.txt", "old");
    ASSERT_EQ(link(linked.c_str(), (directory_.Slash() + "second.txt").c_str()), 0);
    const ProgramOutcome refused = Run({"-e", "\\w", "--format", "text", "--output", linked, file});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "lintaro-cli: cannot write " + linked +
                               ": the file has other hard links; it is left as it was\n");
    EXPECT_EQ(directory_.Read("linked.txt"), "old");
    EXPECT_EQ(directory_.Read("second.txt"), "old");
}

}  // namespace
}  // namespace lintaro
