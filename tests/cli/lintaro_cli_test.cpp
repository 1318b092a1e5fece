// Tests of the built lintaro-cli program on files: output, messages and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Each test gets a fresh directory for its files.
class CliProgramTest : public testing::Test {
  protected:
    // Runs lintaro-cli with arguments, with environment set on top of the test's own.
    static ProgramOutcome Run(std::vector<std::string> arguments, Environment environment = {}) {
        return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                           .arguments = std::move(arguments),
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
    const ProgramOutcome outcome = Run(arguments);
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, LintaroCliTest,
    testing::Values(
        CliCase{"PresetPatternTable", {"FILE"},
                "<A HREF=\"https://a.org/x\">A\tb</A><a href=\"rel\">r</a>",
                kGroupsHeader + "1\t<A HREF=\"https://a.org/x\">A\\tb</A>\thttps://a.org\tA\\tb\n",
                "", 0},
        CliCase{"ExamplePage", {"--count", "EXAMPLE"}, "", "共找到 5 处匹配结果：\n", "", 0},
        CliCase{"NoMatchKeepsGroupColumns", {"FILE"}, "nothing", kGroupsHeader, "", 0},
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
        CliCase{"EngineGivesUp", {"-e", "x|(a+)+y", "--spans", "FILE"}, "x" + std::string(40, 'a'),
                "1\t0,1\t-\n",
                "lintaro-cli: warning: the regular-expression engine gave up after 1 matches: ", 0,
                true},
        CliCase{"BadPattern", {"-e", "(", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: ", 2, true},
        CliCase{"EmptyPattern", {"-e", "", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: the pattern is empty\n", 2},
        CliCase{"UsageError", {"FILE", "FILE"}, "x", "",
                "lintaro-cli: only one FILE may be given\n"
                "usage: lintaro-cli [-e PATTERN | --pattern PATTERN] [-i | --ignore-case | "
                "--case-sensitive] [--spans | --count | --format FORMAT [--rows R1-R2] "
                "[--columns C1-C2] [--link-column N] [--text-column N]] [--output FILE] [--threads N] [--timeout SECONDS] FILE\n"
                "FORMAT: text, links, styled-links, table or styled-table\n",
                2},
        CliCase{"MissingFile", {"/nonexistent/lintaro.html"}, "", "",
                "lintaro-cli: cannot read /nonexistent/lintaro.html: No such file or directory\n", 1},
        CliCase{"Directory", {"/"}, "", "", "lintaro-cli: cannot read /: Is a directory\n", 1},
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
        CliCase{"ExportRowsOutsideTable", {"--format", "table", "--rows", "1-2", "FILE"}, "none",
                "", "lintaro-cli: --rows 1-2 lies outside the table, which has none\n", 2},
        CliCase{"ExportNothingFound", {"--format", "styled-links", "FILE"}, "none", "",
                "lintaro-cli: nothing to export: no match was found\n", 0}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// Under a GBK locale the program's text is GBK: the pattern is GBK bytes and offsets count
// them, while the printed table is still UTF-8.
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

    const ProgramOutcome spans = Run({"-e", "\xD6\xD0(.)", "--spans", file}, environment);
    EXPECT_EQ(spans.out, "1\t24,3\t26,1\n");
}

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
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "lintaro-cli: cannot write " + unwritable + ": No such file or directory\n");
}

}  // namespace
}  // namespace lintaro
