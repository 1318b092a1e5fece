// Hostile files and patterns through the built lintaro-cli: each run ends in bounded time, with
// the table or count line it should print, the warning it should give and nothing else written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// Far above what any row needs, even under the sanitizers: only a hang reaches it.
constexpr std::chrono::seconds kTimeLimit{60};
const fs::path kProgram = LINTARO_BINARY_DIR "/lintaro-cli";

const std::string kHeader = "序号\t匹配文本\n";
const std::string kPresetHeader = "序号\t匹配文本\t子表达式匹配1\t子表达式匹配2\n";

// Makes the subject in a fresh directory and gives the path to pass to the program.
using MakeSubject = std::function<fs::path(const fs::path& directory)>;

struct HostileCase {
    const char* name;
    MakeSubject subject;
    // "SUBJECT" stands for the subject's path; "DIR/" starts a path in the subject's directory.
    std::vector<std::string> arguments;
    int status;
    std::string out;
    // In out and err, "PATH" stands for the subject's path, "DIR/" as above. With err_is_prefix
    // only the start of err is compared (the rest is the engine's own wording).
    std::string err;
    bool err_is_prefix = false;
    bool needs_unprivileged_user = false;
    // The one file the run writes in the subject's directory, and what it must hold.
    std::string written = {};
    std::string written_content = {};
};

fs::path WriteFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

MakeSubject File(std::string content, std::string name = "subject.html") {
    return
        [content, name](const fs::path& directory) { return WriteFile(directory / name, content); };
}

MakeSubject Existing(fs::path path) {
    return [path](const fs::path&) { return path; };
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Warning(const std::string& what, int byte) {
    return "lintaro-cli: warning: PATH " + what + " at byte " + std::to_string(byte) +
           "; only the text before it was searched\n";
}

std::string CannotRead(const std::string& reason) {
    return "lintaro-cli: cannot read PATH: " + reason + "\n";
}

std::string Count(int matches) {
    return std::to_string(matches) + "\n";
}

// 100 MB on one line with a single link at its very end.
MakeSubject HundredMegabyteLine() {
    return [](const fs::path& directory) {
        const std::string anchor = R"(<a href="https://example.org/end">end</a>)";
        const fs::path file = directory / "line.html";
        std::ofstream out(file, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 99; ++i) out << block;
        out << std::string(block.size() - anchor.size(), 'x') << anchor;
        return file;
    };
}

// A pattern of about 100 KB: an alternation of 14,629 six-letter words.
std::string HundredKilobytePattern() {
    std::string pattern;
    for (int i = 0; i < 14629; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "w%05d", i);
        pattern += (i > 0 ? "|" : "") + std::string(word);
    }
    return pattern;
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// The table of a pattern of 500 one-letter groups over 500 "a": 502 columns.
std::string FiveHundredGroupsTable() {
    std::string header = "序号\t匹配文本";
    std::string row = "1\t" + std::string(500, 'a');
    for (int j = 1; j <= 500; ++j) {
        header += "\t子表达式匹配" + std::to_string(j);
        row += "\ta";
    }
    return header + "\n" + row + "\n";
}

const std::string kTwoLinks = R"(<a href="http://a.org/x">A</a> <a href="https://b.org">B</a>)";
const std::string kBacktrackingText = "aa\n" + std::string(40, 'a') + "b";

// clang-format off
const HostileCase kCases[] = {
    // Files.
    {"EmptyFile", File(""), {"--count", "SUBJECT"}, 1, Count(0), ""},
    {"OnlyByteOrderMark", File("\xEF\xBB\xBF"), {"-e", ".+", "--spans", "SUBJECT"}, 0, "1\t0,3\n", ""},
    {"NulAtStart", File(std::string("\0abc", 4)), {"-e", ".*", "--count", "SUBJECT"}, 1, Count(0),
     Warning("holds a NUL byte", 0)},
    {"NulInMiddle", File(std::string("ab\0cd", 5)), {"-e", ".", "--spans", "SUBJECT"}, 0,
     "1\t0,1\n2\t1,1\n", Warning("holds a NUL byte", 2)},
    // FF FE is UTF-16LE's byte-order mark, which the warning offers.
    {"OnlyInvalidBytes", File("\xFF\xFE\x80\xBF"), {"--count", "SUBJECT"}, 1, Count(0),
     "lintaro-cli: warning: PATH is not valid UTF-8 at byte 0; only the text before it was "
     "searched; it declares utf-16le: try --encoding=utf-16le\n"},
    {"FiveByteLeadForm", File("\xF8\x88\x80\x80\x80z"), {"-e", ".+", "SUBJECT"}, 0,
     kHeader + "1\t\xF4\x80\x80\x80z\n", ""},
    {"SixByteLeadForm", File("\xFC\x84\x80\x80\x80\x80z"), {"-e", ".+", "SUBJECT"}, 0,
     kHeader + "1\t\xF4\x80\x80\x80z\n", ""},
    {"OverlongForms", File("\xC1\x81\xE0\x81\x82"), {"-e", ".+", "SUBJECT"}, 0, kHeader + "1\tAB\n", ""},
    {"OverlongNul", File("a\xC0\x80z"), {"-e", ".+", "SUBJECT"}, 0, kHeader + "1\ta\n",
     Warning("holds a NUL byte", 1)},
    {"EncodedSurrogate", File("a\xED\xA0\x80z"), {"-e", ".+", "SUBJECT"}, 0, kHeader + "1\ta?z\n", ""},
    {"GbkText", File("<A HREF=\"http://a.cn/\">ab\xD6\xD0</A>"), {"SUBJECT"}, 1, kPresetHeader,
     Warning("is not valid UTF-8", 25)},
    {"HundredMegabyteLine", HundredMegabyteLine(), {"SUBJECT"}, 0,
     kPresetHeader + "1\t<a href=\"https://example.org/end\">end</a>\thttps://example.org\tend\n", ""},
    {"Directory", [](const fs::path& directory) { return directory; }, {"SUBJECT"}, 2, "",
     CannotRead("Is a directory")},
    // Read as a stream that has already ended: nothing waits for a writer to come.
    {"FifoWithoutWriter",
     [](const fs::path& directory) {
         const fs::path fifo = directory / "fifo";
         mkfifo(fifo.c_str(), 0600);
         return fifo;
     },
     {"--count", "SUBJECT"}, 1, Count(0), ""},
    {"EndlessDevice", Existing("/dev/zero"), {"SUBJECT"}, 2, "",
     CannotRead("a device whose text never ends")},
    // The kernel reports the length 0 for files under /proc; they are read to their end.
    {"FileReportingNoLength", Existing("/proc/version"), {"-e", "^Linux version", "--count", "SUBJECT"},
     0, Count(1), ""},
    {"NoReadPermission",
     [](const fs::path& directory) {
         const fs::path file = WriteFile(directory / "locked.html", "x");
         fs::permissions(file, fs::perms::none);
         return file;
     },
     {"SUBJECT"}, 2, "", CannotRead("Permission denied"), false, true},
    {"DanglingLink",
     [](const fs::path& directory) {
         fs::create_symlink(directory / "gone.html", directory / "link.html");
         return directory / "link.html";
     },
     {"SUBJECT"}, 2, "", CannotRead("No such file or directory")},
    {"LinkLoop",
     [](const fs::path& directory) {
         fs::create_symlink(directory / "b", directory / "a");
         fs::create_symlink(directory / "a", directory / "b");
         return directory / "a";
     },
     {"SUBJECT"}, 2, "", CannotRead("Too many levels of symbolic links")},
    {"PathWithSpaces", File("<a href=\"http://x.org/\">x</a>", "a b  c.html"), {"SUBJECT"}, 0,
     kPresetHeader + "1\t<a href=\"http://x.org/\">x</a>\thttp://x.org\tx\n", ""},
    {"PathWithNewline", File("<a href=\"http://x.org/\">x</a>", "line\nbreak.html"), {"SUBJECT"}, 0,
     kPresetHeader + "1\t<a href=\"http://x.org/\">x</a>\thttp://x.org\tx\n", ""},
    {"PathWithInvalidUtf8", File("<a href=\"http://x.org/\">x</a>", "bad\xFF\xFE.html"), {"SUBJECT"}, 0,
     kPresetHeader + "1\t<a href=\"http://x.org/\">x</a>\thttp://x.org\tx\n", ""},
    // With -H every line starts with the path as its bytes, with a tab or newline in it escaped.
    {"InvalidUtf8PathStartsLines", File("<a href=\"http://x.org/\">x</a>", "bad\xFF\xFE.html"),
     {"-H", "--count", "SUBJECT"}, 0, "PATH\t" + Count(1), ""},
    {"TabAndNewlinePathStartsLines", File("<a href=\"http://x.org/\">x</a>", "a\tb\nc.html"),
     {"-H", "--count", "SUBJECT"}, 0, "DIR/a\\tb\\nc.html\t" + Count(1), ""},
    {"MissingFileWithInvalidUtf8Name", Existing("/nonexistent/\xFF.html"), {"SUBJECT"}, 2, "",
     CannotRead("No such file or directory")},

    // Patterns.
    {"EmptyPattern", File("abc"), {"-e", "", "SUBJECT"}, 2, "",
     "lintaro-cli: the pattern does not compile: the pattern is empty\n"},
    {"OpenParenthesis", File("abc"), {"-e", "(", "SUBJECT"}, 2, "",
     "lintaro-cli: the pattern does not compile: ", true},
    {"TrailingEmptyAlternative", File("bab"), {"-e", "a|", "--spans", "SUBJECT"}, 0, "1\t0,0\n", ""},
    {"LeadingEmptyAlternative", File("bab"), {"-e", "|a", "--spans", "SUBJECT"}, 0, "1\t0,0\n", ""},
    {"CatastrophicBacktracking", File(kBacktrackingText), {"-e", "(a+)+$", "--spans", "SUBJECT"}, 0,
     "1\t0,2\t0,2\n", "lintaro-cli: warning: the regular-expression engine gave up after 1 matches: ",
     true},
    // Both are said: the matches before the cut may be missing too.
    {"EngineGivesUpBeforeACut", File("x" + std::string(40, 'a') + "b\xFF"),
     {"-e", "x|(a+)+$", "--spans", "SUBJECT"}, 0, "1\t0,1\t-\n",
     Warning("is not valid UTF-8", 42) + "lintaro-cli: warning: the regular-expression engine also "
     "gave up after 1 matches, before the cut: ", true},
    {"RecursionOutOfStack", File(std::string(20000, 'a') + std::string(20000, 'b')),
     {"-e", "a(?R)?b", "--count", "SUBJECT"}, 1, Count(0),
     "lintaro-cli: warning: the regular-expression engine gave up after 0 matches: ", true},
    {"HundredKilobytePattern", File("x w14628 w00000 w14629"),
     {"-e", HundredKilobytePattern(), "--spans", "SUBJECT"}, 0, "1\t2,6\n2\t9,6\n", ""},
    {"DeeplyNestedPattern", File("a"), {"-e", Repeated("(", 20000) + "a" + Repeated(")", 20000), "SUBJECT"},
     2, "", "lintaro-cli: the pattern does not compile: ", true},
    {"FiveHundredGroups", File(std::string(500, 'a')), {"-e", Repeated("(a)", 500), "SUBJECT"}, 0,
     FiveHundredGroupsTable(), ""},
    {"BackReference", File("aabbab"), {"-e", "(a|b)\\1", "--spans", "SUBJECT"}, 0,
     "1\t0,2\t0,1\n2\t2,2\t2,1\n", ""},
    {"BackReferenceToMissingGroup", File("aa"), {"-e", "(a)\\2", "SUBJECT"}, 2, "",
     "lintaro-cli: the pattern does not compile: ", true},
    {"LookBehindAtSearchStart", File("aaaa"), {"-e", "(?<=a)a", "--spans", "SUBJECT"}, 0,
     "1\t1,1\n2\t3,1\n", ""},
    {"EmptyMatchEverywhere", File("abc"), {"-e", "x*", "--spans", "SUBJECT"}, 0, "1\t0,0\n", ""},
    {"EmptyMatchAtEveryLineEnd", File("ab\ncd"), {"-e", "$", "--spans", "SUBJECT"}, 0,
     "1\t2,0\n2\t2,0\n", ""},

    // Exports.
    {"ExportWithNothingFound", File("no links"), {"--format", "text", "SUBJECT"}, 1, "",
     "lintaro-cli: nothing to export: no match was found\n"},
    {"ExportToMissingDirectory", File(kTwoLinks),
     {"--format", "text", "--output", "DIR/missing/export.txt", "SUBJECT"}, 2, "",
     "lintaro-cli: cannot write DIR/missing/export.txt: No such file or directory\n"},
    {"ExportToReadOnlyDirectory",
     [](const fs::path& directory) {
         fs::create_directory(directory / "locked");
         fs::permissions(directory / "locked", fs::perms::owner_read | fs::perms::owner_exec);
         return WriteFile(directory / "subject.html", kTwoLinks);
     },
     {"--format", "text", "--output", "DIR/locked/export.txt", "SUBJECT"}, 2, "",
     "lintaro-cli: cannot write DIR/locked/export.txt: Permission denied\n", false, true},
    {"ExportReplacesTakenName",
     [](const fs::path& directory) {
         WriteFile(directory / "taken.txt", "an older and longer text that must not survive");
         return WriteFile(directory / "subject.html", kTwoLinks);
     },
     {"--format", "text", "--columns", "2-3", "--output", "DIR/taken.txt", "SUBJECT"}, 0, "", "",
     false, false, "taken.txt", "http://a.org    A    \r\nhttps://b.org    B    \r\n"},
    {"ExportRowsBeyondTheTable", File(kTwoLinks),
     {"--format", "text", "--columns", "2-3", "--rows", "1-2147483647", "SUBJECT"}, 0,
     "http://a.org    A    \r\nhttps://b.org    B    \r\n", ""},
    // A role far beyond the table reads as empty cells; the export's cell-size count once
    // walked columns up to the role's index and ran into the time limit.
    {"ExportColumnRolesBeyondTheTable", File(kTwoLinks),
     {"--format", "links", "--link-column", "2147483647", "--text-column", "9", "SUBJECT"}, 0,
     "<meta charset=\"utf-8\">\r\n<a href=\"\"></a><br/>\r\n<a href=\"\"></a><br/>\r\n",
     "lintaro-cli: warning: --link-column 2147483647 lies outside the table, whose columns are "
     "0-3; its cells read as empty\n"
     "lintaro-cli: warning: --text-column 9 lies outside the table, whose columns are 0-3; its "
     "cells read as empty\n"},
};
// clang-format on

// Names the row in the messages of a failing test.
void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

ProgramOutcome RunCli(std::vector<std::string> arguments) {
    return RunProgram(
        {.program = kProgram, .arguments = std::move(arguments), .time_limit = kTimeLimit});
}

// A directory for the subject, removed afterwards with anything a row put beside it.
class SubjectDirectory : public testing::Test {
  protected:
    TempDir directory_;
};

class HostileInputTest : public SubjectDirectory,
                         public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileInputTest, EndsWithItsResult) {
    const HostileCase& c = GetParam();
    if (c.needs_unprivileged_user && geteuid() == 0) {
        GTEST_SKIP() << "running as root, which may read and write any file";
    }
    const fs::path subject = c.subject(directory_.Path());
    const std::string dir = directory_.Slash();
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "SUBJECT" ? subject.string()
                                                  : Replaced(argument, "DIR/", dir));
    }
    std::set<std::string> expected_listing = directory_.Names();
    if (!c.written.empty()) expected_listing.insert(c.written);

    const ProgramOutcome outcome = RunCli(arguments);

    ASSERT_FALSE(outcome.timed_out) << "still running after " << kTimeLimit.count() << " s";
    ASSERT_EQ(outcome.signal, 0) << outcome.err;
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, Replaced(Replaced(c.out, "PATH", subject.string()), "DIR/", dir));
    const std::string err = Replaced(Replaced(c.err, "PATH", subject.string()), "DIR/", dir);
    if (c.err_is_prefix) {
        EXPECT_EQ(outcome.err.substr(0, err.size()), err) << outcome.err;
        EXPECT_GT(outcome.err.size(), err.size()) << "the engine's own words follow";
    } else {
        EXPECT_EQ(outcome.err, err);
    }
    EXPECT_EQ(directory_.Names(), expected_listing) << "files written or removed";
    if (!c.written.empty()) {
        EXPECT_EQ(directory_.Read(c.written), c.written_content);
    }
}

// Every row of a million-row table exported: the text and the largest page, in bounded time.
TEST_F(SubjectDirectory, ExportOfAMillionRows) {
    constexpr int kRows = 1000000;
    const fs::path subject = directory_.Path() / "million.html";
    {
        std::ofstream out(subject, std::ios::binary);
        for (int i = 0; i < kRows; ++i) out << "<a href=\"http://h" << i % 10 << ".org/\">t</a>\n";
    }
    const struct {
        const char* format;
        std::string row_mark;  // once per exported row
    } kFormats[] = {{"text", "\r\n"}, {"styled-table", "<tbody><tr>"}};
    for (const auto& format : kFormats) {
        const std::string output = std::string(format.format) + ".out";
        const ProgramOutcome outcome = RunCli(
            {"--format", format.format, "--output", directory_.Slash() + output, subject.string()});
        ASSERT_FALSE(outcome.timed_out) << format.format << " still running after the limit";
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        const std::string text = directory_.Read(output);
        std::size_t rows = 0;
        for (std::size_t at = text.find(format.row_mark); at != std::string::npos;
             at = text.find(format.row_mark, at + 1)) {
            ++rows;
        }
        EXPECT_EQ(rows, std::size_t{kRows}) << format.format;
        fs::remove(directory_.Path() / output);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileInputTest, testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lintaro
