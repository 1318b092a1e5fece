// Tests of work split among the processors: the pieces cover the items exactly, every piece
// runs once, and what a piece throws reaches the caller after every piece has ended.
#include "base/processors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <new>
#include <vector>

namespace lintaro {
namespace {

TEST(ProcessorsTest, PiecesCoverTheItemsEvenly) {
    for (const std::size_t items : {0UL, 1UL, 7UL, 1000UL, 1001UL}) {
        for (const std::size_t pieces : {1UL, 2UL, 3UL, 16UL}) {
            EXPECT_EQ(PieceStart(items, pieces, 0), 0U);
            EXPECT_EQ(PieceStart(items, pieces, pieces), items);
            for (std::size_t k = 0; k < pieces; ++k) {
                const std::size_t size =
                    PieceStart(items, pieces, k + 1) - PieceStart(items, pieces, k);
                EXPECT_LE(size, items / pieces + 1) << items << " " << pieces << " " << k;
                EXPECT_GE(size, items / pieces) << items << " " << pieces << " " << k;
            }
        }
    }
    EXPECT_EQ(PiecesFor(99, 50), 1U);
    EXPECT_GE(PiecesFor(1000, 50), 1U);
    EXPECT_LE(PiecesFor(1000, 50), static_cast<std::size_t>(AvailableProcessors()));
}

TEST(ProcessorsTest, EveryPieceRunsOnceAndAThrowReachesTheCaller) {
    std::vector<std::atomic<int>> runs(5);
    RunPieces(runs.size(), [&](std::size_t k) { ++runs[k]; });
    for (const std::atomic<int>& count : runs) EXPECT_EQ(count, 1);

    std::vector<std::atomic<int>> ended(5);
    EXPECT_THROW(RunPieces(ended.size(),
                           [&](std::size_t k) {
                               ++ended[k];
                               if (k == 3) throw std::bad_alloc();
                           }),
                 std::bad_alloc);
    for (const std::atomic<int>& count : ended) EXPECT_EQ(count, 1);
    RunPieces(0, [](std::size_t) { FAIL(); });
}

}  // namespace
}  // namespace lintaro
