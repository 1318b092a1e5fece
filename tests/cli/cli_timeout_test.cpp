// Tests of lintaro-cli --timeout: a run that would last for hours stops, prints what it found,
// warns and exits with status 2; a run that ends in time is not touched.
#include <gtest/gtest.h>

#include <chrono>
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

}  // namespace
}  // namespace lintaro
