// Tests of running the batch program's files on several threads, taken in order.
#include "cli/ordered_file_runs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lintaro {
namespace {

constexpr std::int64_t kKiB = 1024;

// Batches are runs of neighbours, cut at 64 files or before 1 MiB would be passed; a file of
// unknown size or of 1 MiB and more stands alone.
TEST(FileBatchEnds, GroupsNeighboursBySizeAndNumber) {
    const struct {
        std::vector<std::int64_t> sizes;
        std::vector<std::size_t> ends;
    } cases[] = {
        {{}, {}},
        {{10, 20, 30}, {3}},
        {std::vector<std::int64_t>(130, 0), {64, 128, 130}},
        {{600 * kKiB, 400 * kKiB, 100 * kKiB}, {2, 3}},
        {{1, 2048 * kKiB, 3}, {1, 2, 3}},
        {{1, -1, 3, 4}, {1, 2, 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(FileBatchEnds(c.sizes), c.ends) << c.sizes.size();
}

// Every file is run once, each before it is waited for, whatever the threads; a run stopped
// before its end (the taking thread gave up) waits only for the batches under way.
TEST(OrderedFileRuns, RunsEachFileOnceBeforeItIsTaken) {
    std::vector<std::int64_t> sizes(1000);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        sizes[i] = static_cast<std::int64_t>(i % 7) * 40 * kKiB;
    for (const int threads : {1, 3}) {
        std::vector<std::atomic<int>> runs(sizes.size());
        {
            OrderedFileRuns ordered(sizes, threads, [&](std::size_t i) { ++runs[i]; });
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                ordered.WaitFor(i);
                ASSERT_EQ(runs[i].load(), 1) << i;
                ordered.Taken(i);
            }
        }
        std::vector<std::atomic<int>> stopped(sizes.size());
        {
            OrderedFileRuns ordered(sizes, threads, [&](std::size_t i) { ++stopped[i]; });
            for (std::size_t i = 0; i < 10; ++i) {
                ordered.WaitFor(i);
                ordered.Taken(i);
            }
        }
        for (const std::atomic<int>& count : stopped) EXPECT_LE(count.load(), 1);
    }
}

}  // namespace
}  // namespace lintaro
