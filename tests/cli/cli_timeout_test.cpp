// Tests of lintaro-cli --timeout: a run that would last for hours stops, prints what it found,
// warns and exits with status 2; a run that ends in time is not touched.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "support/endless_search.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

ProgramOutcome RunCli(const std::string& timeout, const std::string& pattern,
                      const std::string& path) {
    return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                       .arguments = {"--spans", "--timeout", timeout, "-e", pattern, path},
                       .time_limit = std::chrono::seconds(30)});
}

TEST(CliTimeoutTest, PaddedCatastrophicPatternStopsWithTheMatchesBeforeIt) {
    const TempDir directory;
    const std::string path = directory.Write("subject.txt", testing::EndlessSearchText()).string();
    const ProgramOutcome outcome = RunCli("1", testing::EndlessSearchPattern(), path);
    ASSERT_FALSE(outcome.timed_out);
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_EQ(outcome.out, "1\t0,1\t-\n2\t2,1\t-\n");
    EXPECT_EQ(outcome.err,
              "lintaro-cli: warning: the run was stopped after --timeout 1 s; only the 2 matches "
              "found until then are printed\n");
}

TEST(CliTimeoutTest, RunThatEndsInTimeIsUntouched) {
    const TempDir directory;
    const std::string path =
        directory.Write("subject.txt", "x x " + std::string(40, 'a') + "b").string();
    const ProgramOutcome outcome = RunCli("30", "x|a+b", path);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "1\t0,1\n2\t2,1\n3\t4,41\n");
    EXPECT_EQ(outcome.err, "");
}

// Where the user may start no more threads, a run with --timeout says why it cannot start its
// timer and ends with status 2 instead of aborting; where only the search worker's own thread
// is refused, the worker searches without it and the result is whole.
TEST(CliTimeoutTest, ThreadsThatCannotStart) {
    const std::string page = LINTARO_SOURCE_DIR "/examples/links.html";
    const auto run = [&](std::optional<int> task_limit) {
        // The leak check at exit needs a thread of its own, which the limit may refuse.
        return RunProgram({.program = LINTARO_BINARY_DIR "/lintaro-cli",
                           .arguments = {"--timeout", "30", "--threads", "1", "--spans", page},
                           .environment = {{"ASAN_OPTIONS", "detect_leaks=0"}},
                           .task_limit = task_limit});
    };
    const ProgramOutcome unlimited = run(std::nullopt);
    ASSERT_EQ(unlimited.status, 0) << unlimited.err;

    const ProgramOutcome no_timer = run(1);
    EXPECT_EQ(no_timer.signal, 0);
    EXPECT_EQ(no_timer.status, 2);
    EXPECT_EQ(no_timer.err,
              "lintaro-cli: cannot start the --timeout timer: Resource temporarily unavailable\n");

    // The program, its timer and the worker process: the worker's sending thread is refused.
    const ProgramOutcome no_sender = run(3);
    EXPECT_EQ(no_sender.status, 0) << no_sender.err;
    EXPECT_EQ(no_sender.out, unlimited.out);
    EXPECT_EQ(no_sender.err, "");
}

}  // namespace
}  // namespace lintaro
