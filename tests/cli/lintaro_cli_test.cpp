// Tests of the built lintaro-cli program on files: output, messages and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

struct CliCase {
    const char* name;
    // "FILE" stands for the file holding content, "EXAMPLE" for the shipped example page.
    std::vector<std::string> arguments;
    std::string content;
    std::string out;
    std::string err;  // expected start of standard error
    int status;
};

std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What one run of the program printed and how it ended.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Each test gets a fresh directory for its files and the program's output.
class CliProgramTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lintaro_cli_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::filesystem::path WriteFile(const std::string& name, const std::string& content) {
        const std::filesystem::path file = directory_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

    // Runs lintaro-cli with arguments, after the environment assignments in environment.
    Outcome Run(const std::vector<std::string>& arguments, const std::string& environment = "") {
        std::string command = environment + " " + Quoted(LINTARO_BINARY_DIR "/lintaro-cli");
        for (const std::string& argument : arguments) command += " " + Quoted(argument);
        command += " >" + Quoted(directory_ / "out") + " 2>" + Quoted(directory_ / "err");
        const int result = std::system(command.c_str());
        if (!WIFEXITED(result)) return {};
        return {WEXITSTATUS(result), ReadAll(directory_ / "out"), ReadAll(directory_ / "err")};
    }

    std::filesystem::path directory_;
};

class LintaroCliTest : public CliProgramTest, public testing::WithParamInterface<CliCase> {};

TEST_P(LintaroCliTest, PrintsAndExits) {
    const CliCase& c = GetParam();
    const std::filesystem::path file = WriteFile("subject.txt", c.content);
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "FILE"      ? file.string()
                            : argument == "EXAMPLE" ? LINTARO_SOURCE_DIR "/examples/links.html"
                                                    : argument);
    }
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.out, c.out);
    if (c.err.empty()) {
        EXPECT_EQ(outcome.err, "");
    } else {
        EXPECT_EQ(outcome.err.substr(0, c.err.size()), c.err) << outcome.err;
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
        CliCase{"SpansWithUnmatchedGroup",
                {"-e", "a(b)(?:c)(d)?", "--case-sensitive", "--spans", "FILE"}, "xabc",
                "1\t1,3\t2,1\t-\n", "", 0},
        CliCase{"CaretAtEachSearch", {"-e", "^a", "--spans", "FILE"}, "aaa",
                "1\t0,1\n2\t1,1\n3\t2,1\n", "", 0},
        CliCase{"LookBehind", {"-e", "(?<=a)a", "--spans", "FILE"}, "aaa", "1\t1,1\n", "", 0},
        CliCase{"EmptyMatchAtStart", {"-e", "a*", "--spans", "FILE"}, "baa", "1\t0,0\n", "", 0},
        CliCase{"EmptyMatchAfterMatch", {"-e", "a*", "--spans", "FILE"}, "aab",
                "1\t0,2\n2\t2,0\n", "", 0},
        CliCase{"DollarTwice", {"-e", "$", "FILE"}, "ab\ncd", kHeader + "1\t\n2\t\n", "", 0},
        CliCase{"IgnoreCaseByDefault", {"-e", "abc", "--count", "FILE"}, "xABCx",
                "共找到 1 处匹配结果：\n", "", 0},
        CliCase{"CaseSensitive", {"-e", "abc", "--case-sensitive", "--count", "FILE"}, "xABCx",
                "共找到 0 处匹配结果：\n", "", 0},
        CliCase{"ByteOrderMarkKept", {"-e", "^.{3}", "--spans", "FILE"}, "\xEF\xBB\xBFz",
                "1\t0,3\n", "", 0},
        CliCase{"NulCuts", {"-e", ".+", "FILE"}, std::string("ab\0cd", 5), kHeader + "1\tab\n",
                "lintaro-cli: warning: ", 0},
        CliCase{"GbkFileCut", {"-e", ".+", "FILE"}, "ab\xD6\xD0xy", kHeader + "1\tab\n",
                "lintaro-cli: warning: ", 0},
        CliCase{"EngineGivesUp", {"-e", "x|(a+)+y", "--spans", "FILE"}, "x" + std::string(40, 'a'),
                "1\t0,1\t-\n",
                "lintaro-cli: warning: the regular-expression engine gave up after 1 matches", 0},
        CliCase{"BadPattern", {"-e", "(", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: ", 2},
        CliCase{"EmptyPattern", {"-e", "", "FILE"}, "x", "",
                "lintaro-cli: the pattern does not compile: the pattern is empty", 2},
        CliCase{"UsageError", {"FILE", "FILE"}, "x", "",
                "lintaro-cli: only one FILE may be given\nusage:", 2},
        CliCase{"MissingFile", {"/nonexistent/lintaro.html"}, "", "",
                "lintaro-cli: cannot read /nonexistent/lintaro.html: No such file or directory", 1},
        CliCase{"Directory", {"/"}, "", "", "lintaro-cli: cannot read /: Is a directory", 1},
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
                "", "lintaro-cli: --rows 1-2 lies outside the table, which has none", 2},
        CliCase{"ExportNothingFound", {"--format", "styled-links", "FILE"}, "none", "",
                "lintaro-cli: nothing to export: no match was found", 0}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

// Under a GBK locale the program's text is GBK: the pattern is GBK bytes and offsets count
// them, while the printed table is still UTF-8.
TEST_F(CliProgramTest, GbkLocale) {
    const std::filesystem::path locales = directory_ / "locales";
    std::filesystem::create_directory(locales);
    const std::string make_locale =
        "localedef -i zh_CN -f GBK " + Quoted(locales / "zh_CN.GBK") + " >/dev/null 2>&1";
    if (std::system(make_locale.c_str()) != 0) GTEST_SKIP() << "cannot make a GBK locale";
    const std::string environment = "LOCPATH=" + Quoted(locales) + " LC_ALL=zh_CN.GBK";
    const std::string file = WriteFile("subject.html", "<A HREF=\"http://a.cn/x\">中文</A>");

    const Outcome table = Run({file}, environment);
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out,
              "序号\t匹配文本\t子表达式匹配1\t子表达式匹配2\n"
              "1\t<A HREF=\"http://a.cn/x\">中文</A>\thttp://a.cn\t中文\n");

    const Outcome spans = Run({"-e", "\xD6\xD0(.)", "--spans", file}, environment);
    EXPECT_EQ(spans.out, "1\t24,3\t26,1\n");
}

// --output writes the export as UTF-8 into the named file and nothing on standard output.
TEST_F(CliProgramTest, ExportToOutputFile) {
    const std::string file = WriteFile("page.html", "<a href=\"https://x.org\">X</a>");
    const std::filesystem::path output = directory_ / "links page.html";
    const Outcome outcome = Run({"--format", "styled-links", "--output", output.string(), file});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    const std::string page = ReadAll(output);
    EXPECT_TRUE(page.starts_with("<!doctype html>\n"));
    EXPECT_NE(page.find("<h2>\xE5\xAF\xBC\xE5\x87\xBA</h2><TEXT>"), std::string::npos);
    EXPECT_NE(page.find(">X</b>"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</TEXT></div></div>\n</body>\n</html>\r\n"));

    const Outcome unwritable =
        Run({"--format", "text", "--output", (directory_ / "missing" / "o.txt").string(), file});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("No such file or directory"), std::string::npos);
}

}  // namespace
