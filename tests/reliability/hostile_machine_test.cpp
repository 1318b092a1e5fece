// A hostile machine under the built programs: memory that runs out at each stage of a run, a
// full disk, a signal in the middle of writing the output, no display. Each ends with a clear
// message and its exit status, and an output file that was there stays as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// Far above what any case needs: only a hang reaches it.
constexpr std::chrono::seconds kTimeLimit{60};
const fs::path kProgram = LINTARO_BINARY_DIR "/lintaro-cli";
const fs::path kWindowProgram = LINTARO_BINARY_DIR "/lintaro";
constexpr std::uint64_t kMegabyte = 1 << 20;

void WriteFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Names(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A directory for the subject and the output, and one for what the program prints.
class HostileMachineTest : public testing::Test {
  protected:
    void TearDown() override {
        if (mounted_) ::umount2(mounted_->c_str(), MNT_DETACH);
    }

    // A tmpfs of size bytes at directory; false where mounting is not permitted.
    bool MountSmallDisk(const fs::path& directory, std::uint64_t size) {
        fs::create_directory(directory);
        const std::string options = "size=" + std::to_string(size);
        if (::mount("tmpfs", directory.c_str(), "tmpfs", 0, options.c_str()) != 0) return false;
        mounted_ = directory;
        return true;
    }

    // Runs lintaro-cli; limit_bytes: its address space (0: unlimited).
    ProgramOutcome Run(const std::vector<std::string>& arguments, std::uint64_t limit_bytes = 0,
                       std::function<void(int)> while_running = {}) {
        std::optional<std::uint64_t> limit;
        if (limit_bytes != 0) limit = limit_bytes;
        return RunProgram({.program = kProgram,
                           .arguments = arguments,
                           .working_directory = run_directory_,
                           .address_space_limit = limit,
                           .time_limit = kTimeLimit,
                           .while_running = std::move(while_running)});
    }

    // Whether a run over a tiny file succeeds within limit_bytes of address space: otherwise a
    // limit says nothing (a sanitizer build reserves terabytes of it and cannot run under one).
    bool StartsWithin(std::uint64_t limit_bytes) {
        const fs::path tiny = run_directory_ / "tiny.txt";
        WriteFile(tiny, "a");
        return Run({"-e", "a", "--count", tiny.string()}, limit_bytes).status == 0;
    }

    TempDir subject_folder_;
    TempDir run_folder_;
    const fs::path directory_ = subject_folder_.Path();
    const fs::path run_directory_ = run_folder_.Path();
    std::optional<fs::path> mounted_;
};

// One million single-letter matches: each stage of the run needs markedly more memory than
// the one before it, so that one limit lets the run get exactly as far as the case says.
std::string MillionMatches() {
    return std::string(1'000'000, 'a');
}

// Four megabytes of "<" that a pattern matches as one row: the export writes its file a block
// of rows at a time, so only a long row makes it need much memory, here four times the
// subject, as every "<" of the cell becomes "&lt;", while the stages before it need little.
std::string OneLongRow() {
    return std::string(4 * kMegabyte, '<');
}

enum class Subject { kMillionMatches, kOneLongRow, kSparse /* 600 MB of nothing */ };

struct MemoryCase {
    const char* name;
    std::vector<std::string> arguments;  // "SUBJECT" and "OUTPUT" stand for the two paths
    Subject subject;
    double limit_megabytes;  // the address space the program may use
    std::string stage;
};

// Names the case in the messages of a failing test.
void PrintTo(const MemoryCase& c, std::ostream* out) {
    *out << c.name;
}

class OutOfMemoryTest : public HostileMachineTest,
                        public testing::WithParamInterface<MemoryCase> {};

// Limits measured on the RelWithDebInfo build, which starts in about 45 MB of address space,
// between the figures where the run gets past one stage and where it gets past the next.
TEST_P(OutOfMemoryTest, EndsWithTheStageAndStatusTwo) {
    const MemoryCase& c = GetParam();
    const fs::path subject = directory_ / "subject.txt";
    const fs::path output = directory_ / "out.txt";
    WriteFile(output, "old");
    switch (c.subject) {
        case Subject::kMillionMatches:
            WriteFile(subject, MillionMatches());
            break;
        case Subject::kOneLongRow:
            WriteFile(subject, OneLongRow());
            break;
        case Subject::kSparse:
            WriteFile(subject, "");
            fs::resize_file(subject, 600 * kMegabyte);
            break;
    }
    const auto limited = static_cast<std::uint64_t>(c.limit_megabytes * kMegabyte);
    if (!StartsWithin(limited)) {
        GTEST_SKIP() << "lintaro-cli does not start within " << c.limit_megabytes << " MB here";
    }

    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "SUBJECT"  ? subject.string()
                            : argument == "OUTPUT" ? output.string()
                                                   : argument);
    }
    const ProgramOutcome outcome = Run(arguments, limited);

    ASSERT_TRUE(!outcome.timed_out);
    EXPECT_EQ(outcome.signal, 0) << outcome.err;
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_EQ(outcome.err, "lintaro-cli: out of memory while " + c.stage + "\n");
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(ReadAll(output) == "old") << "the old output file was replaced";
    EXPECT_EQ(Names(directory_), (std::set<std::string>{"out.txt", "subject.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, OutOfMemoryTest,
    testing::Values(
        MemoryCase{"Reading", {"--count", "SUBJECT"}, Subject::kSparse, 300, "reading the file"},
        MemoryCase{"Searching",
                   {"-e", "a", "--count", "SUBJECT"},
                   Subject::kMillionMatches,
                   52,
                   "searching"},
        // Only an export builds the table; it adds its row numbers' digits to the search,
        // about 2 MB.
        MemoryCase{"BuildingTheTable",
                   {"-e", "a", "--format", "text", "--output", "OUTPUT", "SUBJECT"},
                   Subject::kMillionMatches,
                   61.25,
                   "building the table"},
        // Gets past the table at 48 MB and through the export at 110 MB.
        MemoryCase{"WritingTheExport",
                   {"-e", ".+", "--format", "styled-table", "--columns", "1-1", "--output",
                    "OUTPUT", "SUBJECT"},
                   Subject::kOneLongRow,
                   75,
                   "writing the output"}),
    [](const testing::TestParamInfo<MemoryCase>& row) { return row.param.name; });

// Sixteen million one-byte matches would need 128 MB for their places alone if they were kept;
// counted (or printed) while the search goes on, they need a few parts' worth, and the run ends
// well within a limit that keeping them would pass.
TEST_F(HostileMachineTest, MatchesNotKeptFitUnderALimit) {
    const fs::path subject = directory_ / "subject.txt";
    WriteFile(subject, std::string(16 * kMegabyte, 'a'));
    const std::uint64_t limit = 200 * kMegabyte;
    if (!StartsWithin(limit)) GTEST_SKIP() << "lintaro-cli does not start within 200 MB here";
    const ProgramOutcome outcome = Run({"-e", "a", "--count", subject.string()}, limit);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, std::to_string(16 * kMegabyte) + "\n");
    EXPECT_EQ(outcome.err, "");

    // Under a limit that even the parts do not fit in, the run stops in the middle of its
    // search, after rows went out: an output file with only those is not given its name.
    const fs::path output = directory_ / "out.txt";
    WriteFile(output, "old");
    const ProgramOutcome cut =
        Run({"-e", "a", "--output", output.string(), subject.string()}, 90 * kMegabyte);
    EXPECT_EQ(cut.signal, 0);
    EXPECT_EQ(cut.status, 2);
    EXPECT_EQ(cut.err, "lintaro-cli: out of memory while searching\n");
    EXPECT_TRUE(ReadAll(output) == "old") << "the old output file was replaced";
    EXPECT_EQ(Names(directory_), (std::set<std::string>{"out.txt", "subject.txt"}));
}

// A disk that fills up while the output is written: the old file stays, nothing else remains,
// and the message names the file and the reason.
TEST_F(HostileMachineTest, FullDiskKeepsTheOldOutputFile) {
    const fs::path disk = directory_ / "disk";
    if (!MountSmallDisk(disk, kMegabyte)) GTEST_SKIP() << "cannot mount a tmpfs here";
    const fs::path subject = directory_ / "subject.txt";
    WriteFile(subject, std::string(2 * kMegabyte, 'a') + "\n");
    const fs::path output = disk / "out.txt";
    WriteFile(output, "old");

    const ProgramOutcome outcome =
        Run({"-e", ".+", "--format", "text", "--output", output.string(), subject.string()});

    ASSERT_TRUE(!outcome.timed_out);
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_EQ(outcome.err,
              "lintaro-cli: cannot write " + output.string() + ": No space left on device\n");
    EXPECT_TRUE(ReadAll(output) == "old") << "the old output file was replaced";
    EXPECT_EQ(Names(disk), (std::set<std::string>{"out.txt"}));
}

// Whether the process pid has a file open in directory that already holds bytes: a file of
// its own that it is writing (a named or an unnamed temporary).
bool WritingInto(int pid, const fs::path& directory, const fs::path& subject) {
    std::error_code error;
    const fs::path descriptors = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& entry : fs::directory_iterator(descriptors, error)) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (error || target == subject || target.parent_path() != directory) continue;
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) == 0 && status.st_size > 0) return true;
    }
    return false;
}

// A signal while the output is being written leaves the old file and nothing else: an
// unnamed temporary goes away with the process, however it ends.
TEST_F(HostileMachineTest, SignalWhileWritingKeepsTheOldOutputFile) {
    const fs::path subject = directory_ / "subject.txt";
    {
        // Three million rows: the table takes a good second to write.
        std::ofstream out(subject, std::ios::binary);
        const std::string block = [] {
            std::string lines;
            for (int i = 0; i < 100'000; ++i) lines += "line of text\n";
            return lines;
        }();
        for (int i = 0; i < 30; ++i) out << block;
    }
    for (const int signal : {SIGTERM, SIGKILL}) {
        const fs::path output = directory_ / "out.txt";
        WriteFile(output, "old");
        bool sent = false;
        const auto control = [&](int pid) {
            if (!sent && WritingInto(pid, directory_, subject)) {
                ::kill(pid, signal);
                sent = true;
            }
        };
        const ProgramOutcome outcome =
            Run({"-e", ".+", "--output", output.string(), subject.string()}, 0, control);

        ASSERT_TRUE(!outcome.timed_out);
        ASSERT_TRUE(sent) << "the output was written before the signal could be sent";
        EXPECT_EQ(outcome.signal, signal) << outcome.err;
        EXPECT_TRUE(ReadAll(output) == "old") << "the old output file was replaced";
        EXPECT_EQ(Names(directory_), (std::set<std::string>{"out.txt", "subject.txt"}));
    }
}

// Whether the process pid has path open or mapped.
bool HasOpenOrMapped(int pid, const fs::path& path) {
    std::error_code error;
    const fs::path process = "/proc/" + std::to_string(pid);
    for (const auto& entry : fs::directory_iterator(process / "fd", error)) {
        if (fs::read_symlink(entry.path(), error) == path) return true;
    }
    std::ifstream maps(process / "maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.ends_with(" " + path.string())) return true;
    }
    return false;
}

// A file cut short while it is searched: the batch program maps the file, and the pages the
// file lost read as zeros instead of ending the process with SIGBUS; what it saw is searched,
// with a warning. The cut races with the run, so a few tries are allowed for one that lands
// in the middle of it.
TEST_F(HostileMachineTest, FileTruncatedWhileReadIsWarnedAbout) {
    const fs::path subject = directory_ / "subject.txt";
    bool warned = false;
    for (int attempt = 0; attempt < 5 && !warned; ++attempt) {
        WriteFile(subject, std::string(256 * kMegabyte, 'a'));
        bool cut = false;
        const auto control = [&](int pid) {
            if (!cut && HasOpenOrMapped(pid, subject)) {
                fs::resize_file(subject, 0);
                cut = true;
            }
        };
        const ProgramOutcome outcome = Run({"--count", subject.string()}, 0, control);
        ASSERT_TRUE(!outcome.timed_out);
        EXPECT_EQ(outcome.signal, 0) << outcome.err;
        // Only a warning: the status says that no match was found.
        EXPECT_EQ(outcome.status, 1) << outcome.err;
        warned = outcome.err.find("lintaro-cli: warning: " + subject.string() +
                                  " was truncated while it was read; only the text that "
                                  "arrived was searched\n") != std::string::npos;
    }
    EXPECT_TRUE(warned);
}

// Without a display the window program says so and ends with status 1, instead of Qt's abort.
TEST_F(HostileMachineTest, NoDisplayEndsWithAMessage) {
    struct DisplayCase {
        const char* display;  // nullptr: unset
        std::string message_start;
    };
    const DisplayCase cases[] = {
        {nullptr, "lintaro: no display: neither DISPLAY nor WAYLAND_DISPLAY is set\n"},
        {":4242", "lintaro: cannot open the window: "},
    };
    const auto keep = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto put_back = [](const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    };
    const auto platform = keep("QT_QPA_PLATFORM");
    const auto display = keep("DISPLAY");
    const auto wayland = keep("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    for (const DisplayCase& c : cases) {
        if (c.display) {
            ::setenv("DISPLAY", c.display, 1);
        } else {
            ::unsetenv("DISPLAY");
        }
        const ProgramOutcome outcome = RunProgram({.program = kWindowProgram,
                                                   .working_directory = run_directory_,
                                                   .time_limit = kTimeLimit});
        EXPECT_TRUE(!outcome.timed_out);
        EXPECT_EQ(outcome.signal, 0) << outcome.err;
        EXPECT_EQ(outcome.status, 1) << outcome.err;
        const std::size_t at = outcome.err.find(c.message_start);
        EXPECT_NE(at, std::string::npos) << outcome.err;
    }
    put_back("QT_QPA_PLATFORM", platform);
    put_back("DISPLAY", display);
    put_back("WAYLAND_DISPLAY", wayland);
}

}  // namespace
}  // namespace lintaro
