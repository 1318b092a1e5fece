// Tests of running the batch program's files on several threads, taken in order.
#include "cli/ordered_file_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
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

// While the taking thread writes one batch, every thread runs one of the batches after it, and
// no more are held: threads + 1 at most. (Were only threads held, a thread would wait for
// each batch to be written.)
TEST(OrderedFileRuns, EveryThreadRunsWhileABatchIsWritten) {
    constexpr std::size_t kThreads = 2;
    const std::vector<std::int64_t> sizes(12, -1);  // each file a batch of its own
    std::mutex mutex;
    std::condition_variable started;
    std::size_t starts = 0;
    OrderedFileRuns ordered(sizes, kThreads, [&](std::size_t /*i*/) {
        const std::lock_guard lock(mutex);
        ++starts;
        started.notify_all();
    });
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        ordered.WaitFor(i);
        std::unique_lock lock(mutex);
        const std::size_t expected = std::min(sizes.size(), i + 1 + kThreads);
        // The bound on the wait only keeps a fault from hanging the test.
        ASSERT_TRUE(
            started.wait_for(lock, std::chrono::seconds(10), [&] { return starts >= expected; }))
            << "batch " << i << ": " << starts << " started";
        EXPECT_EQ(starts, expected) << "batch " << i;
        lock.unlock();
        ordered.Taken(i);
    }
}

}  // namespace
}  // namespace lintaro
