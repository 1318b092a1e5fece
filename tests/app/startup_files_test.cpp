// Tests of the command line: the file to open, the ignored ones, --help and --version.
#include "app/startup_files.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(StartupFilesTest, OpensTheFirstFileAsAnAbsolutePathAndIgnoresTheRest) {
    const QByteArray here = "/home/u";
    const struct {
        const char* name;
        std::vector<std::string_view> arguments;
        std::optional<QByteArray> file;
        std::vector<QByteArray> ignored;
    } cases[] = {
        {"none", {}, std::nullopt, {}},
        {"absolute", {"/tmp/a b.html"}, "/tmp/a b.html", {}},
        {"relative", {"page.html"}, "/home/u/page.html", {}},
        {"dots by name", {"../x/./y.txt"}, "/home/x/y.txt", {}},
        // The bytes as the system gave them, also when they are not UTF-8.
        {"not UTF-8", {"caf\xE9.html"}, "/home/u/caf\xE9.html", {}},
        {"several", {"a", "/b", "c"}, "/home/u/a", {"/b", "/home/u/c"}},
        {"after --", {"--", "--help"}, "/home/u/--help", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const StartupFiles files = FindStartupFiles(c.arguments, here);
        EXPECT_EQ(files.file, c.file);
        EXPECT_EQ(files.ignored, c.ignored);
    }
    EXPECT_EQ(IgnoredFilesNote({}), "");
    EXPECT_EQ(IgnoredFilesNote({"/b", "/c d"}),
              "lintaro: only the first file is opened; ignored: /b /c d\n");
}

TEST(StartupFilesTest, HelpAndVersionAnswerInsteadOfOpeningAFile) {
    EXPECT_EQ(CommandLineAnswer({"--version"}), "lintaro " LINTARO_VERSION "\n");
    EXPECT_EQ(CommandLineAnswer({"a.html", "--version"}), "lintaro " LINTARO_VERSION "\n");
    const std::optional<std::string> help = CommandLineAnswer({"--help"});
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->starts_with("Usage: lintaro [FILE]\n"));
    EXPECT_EQ(CommandLineAnswer({}), std::nullopt);
    EXPECT_EQ(CommandLineAnswer({"a.html"}), std::nullopt);
    EXPECT_EQ(CommandLineAnswer({"--", "--help"}), std::nullopt);
}

}  // namespace
}  // namespace lintaro
