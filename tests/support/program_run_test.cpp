// Tests of the child-process runner: what reaches the child, what comes back, and the limits.
#include "support/program_run.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace lintaro {
namespace {

using namespace std::chrono_literals;

// Runs script with /bin/sh, with the rest of run as given.
ProgramOutcome Shell(const std::string& script, ProgramRun run = {}) {
    run.program = "/bin/sh";
    run.arguments.insert(run.arguments.begin(), {"-c", script, "sh"});
    return RunProgram(run);
}

// True once the process is gone or only a zombie waiting for its new parent to reap it.
bool Ended(const std::string& pid) {
    for (int tries = 0; tries < 200; ++tries) {
        std::ifstream stat("/proc/" + pid + "/stat");
        std::string number, name, state;
        if (!(stat >> number >> name >> state) || state == "Z") return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(ProgramRunTest, ReportsExitStatusAndSignal) {
    const ProgramOutcome exited = Shell("exit 3");
    EXPECT_EQ(exited.start_error, 0);
    EXPECT_FALSE(exited.timed_out);
    EXPECT_EQ(exited.status, 3);
    EXPECT_EQ(exited.signal, 0);

    const ProgramOutcome killed = Shell("kill -TERM $$");
    EXPECT_EQ(killed.status, -1);
    EXPECT_EQ(killed.signal, SIGTERM);
}

// Both streams beyond a pipe's capacity at once: reading one after the other would hang.
TEST(ProgramRunTest, KeepsBothStreamsWhole) {
    const ProgramOutcome outcome =
        Shell("i=0; while [ $i -lt 20000 ]; do echo out$i; echo err$i >&2; i=$((i+1)); done");
    ASSERT_FALSE(outcome.timed_out);
    std::string out;
    std::string err;
    for (int i = 0; i < 20000; ++i) {
        out += "out" + std::to_string(i) + "\n";
        err += "err" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(outcome.out, out);
    EXPECT_EQ(outcome.err, err);
}

TEST(ProgramRunTest, PassesInputBytes) {
    std::string input(300000, 'x');
    input += std::string("\0\xFF\n", 3);
    EXPECT_EQ(RunProgram({.program = "cat", .input = input}).out, input);
    // Without input the child reads the end of /dev/null at once.
    EXPECT_EQ(RunProgram({.program = "cat"}).out, "");
    // A child that reads none of its input neither blocks the run nor ends the test.
    const ProgramOutcome unread =
        RunProgram({.program = "true", .input = std::string(1 << 20, 'x')});
    EXPECT_FALSE(unread.timed_out);
    EXPECT_EQ(unread.status, 0);
}

TEST(ProgramRunTest, PassesArgumentsAndProgramPathAsBytes) {
    TempDir dir;
    const std::string name = "prog\xFF\xFE name";
    std::filesystem::create_symlink("/bin/sh", dir.Path() / name);
    const std::string argument = "a\xFF b\n 'c\"";
    const ProgramOutcome outcome = RunProgram(
        {.program = dir.Path() / name, .arguments = {"-c", "printf %s \"$1\"", "sh", argument}});
    EXPECT_EQ(outcome.start_error, 0);
    EXPECT_EQ(outcome.out, argument);
}

TEST(ProgramRunTest, SetsEnvironmentAndWorkingDirectory) {
    TempDir dir;
    const ProgramOutcome outcome =
        Shell("printf '%s|%s|' \"$LINTARO_ADDED\" \"$HOME\"; pwd -P; env | grep -c '^HOME='",
              {.environment = {{"LINTARO_ADDED", "a b\xFF"}, {"HOME", "/elsewhere"}},
               .working_directory = dir.Path()});
    EXPECT_EQ(outcome.out,
              "a b\xFF|/elsewhere|" + std::filesystem::canonical(dir.Path()).string() + "\n1\n");
}

TEST(ProgramRunTest, LimitsTheAddressSpace) {
    const ProgramOutcome outcome = Shell("ulimit -v", {.address_space_limit = 256 << 20});
    EXPECT_EQ(outcome.out, "262144\n");  // in KiB
}

TEST(ProgramRunTest, ReportsWhatCannotStart) {
    EXPECT_EQ(RunProgram({.program = "/nonexistent/program"}).start_error, ENOENT);
    EXPECT_EQ(RunProgram({.program = "lintaro-no-such-program"}).start_error, ENOENT);
    EXPECT_EQ(RunProgram({.program = "/"}).start_error, EACCES);
    EXPECT_EQ(RunProgram({.program = "true", .working_directory = "/nonexistent"}).start_error,
              ENOENT);
}

// The time limit kills the whole group, and a program that ends does not leave a process
// behind that holds its output open.
TEST(ProgramRunTest, KillsTheProcessGroup) {
    const ProgramOutcome hanging = Shell("sleep 30 & echo $!; wait", {.time_limit = 300ms});
    EXPECT_TRUE(hanging.timed_out);
    EXPECT_EQ(hanging.signal, SIGKILL);
    ASSERT_FALSE(hanging.out.empty());
    EXPECT_TRUE(Ended(hanging.out.substr(0, hanging.out.size() - 1)));

    const ProgramOutcome leaving = Shell("sleep 30 & echo $!", {.time_limit = 20s});
    EXPECT_FALSE(leaving.timed_out);
    EXPECT_EQ(leaving.status, 0);
    ASSERT_FALSE(leaving.out.empty());
    EXPECT_TRUE(Ended(leaving.out.substr(0, leaving.out.size() - 1)));
}

}  // namespace
}  // namespace lintaro
