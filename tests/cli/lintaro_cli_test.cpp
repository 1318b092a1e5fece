// Tests of the built lintaro-cli program on files: output, messages and exit status.
#include <gtest/gtest.h>
#include <iconv.h>

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
                "[--columns C1-C2] [--link-column N] [--text-column N]] [--encoding NAME] "
                "[--output FILE] [--threads N] [--timeout SECONDS] FILE\n"
                "FORMAT: text, links, styled-links, table or styled-table\n",
                2},
        // A sequence the named set cannot decode cuts the text there, at the file's byte offset.
        CliCase{"EncodingCut", {"-e", ".+", "--encoding", "GBK", "FILE"}, "ab\xD6\xD0\xFFz",
                kHeader + "1\tab中\n",
                "lintaro-cli: warning: PATH is not valid GBK at byte 4; only the text before it "
                "was searched\n",
                0},
        CliCase{"UnknownEncoding", {"--encoding=klingon", "FILE"}, "x", "",
                "lintaro-cli: unknown encoding klingon\nusage: ", 2, true},
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
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "lintaro-cli: cannot write " + unwritable + ": No such file or directory\n");
}

}  // namespace
}  // namespace lintaro
