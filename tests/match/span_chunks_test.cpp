// Tests of the chunked match records and of SearchResults built from their chunks, in both
// record widths, and of the pool that hands written stores' room to new chunks.
#include "match/span_chunks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

namespace lintaro {
namespace {

// Bytes of records in a full chunk.
constexpr std::int64_t kChunkBytes = std::int64_t{8} << 20;

// Matches in a full chunk of one-group matches: two records each.
std::int64_t ChunkMatches(RecordWidth width) {
    return kChunkBytes / (2 * static_cast<std::int64_t>(WordsPerRecord(width)) * 4);
}

// One group; match i lies at offset i, its group at offset i + 1 or, every third match, took
// no part. Two and a half chunks.
SpanChunks Filled(RecordWidth width) {
    SpanChunks chunks(1, width);
    const std::int64_t matches = ChunkMatches(width) * 5 / 2;
    for (std::int64_t i = 0; i < matches; ++i) {
        const SubMatchSpan records[] = {{i, 2},
                                        i % 3 == 0 ? SubMatchSpan{} : SubMatchSpan{i + 1, 1}};
        chunks.Append(records);
    }
    return chunks;
}

class SpanChunksTest : public testing::TestWithParam<RecordWidth> {};

TEST_P(SpanChunksTest, KeepsEveryMatchAcrossChunks) {
    const std::int64_t chunk = ChunkMatches(GetParam());
    const SpanChunks chunks = Filled(GetParam());
    ASSERT_EQ(chunks.MatchCount(), chunk * 5 / 2);
    for (const std::int64_t i : {std::int64_t{0}, chunk - 1, chunk, 2 * chunk, chunk * 5 / 2 - 1}) {
        EXPECT_EQ(chunks.WholeMatch(i).offset, i);
        EXPECT_EQ(chunks.WholeMatch(i).length, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, SpanChunksTest,
                         testing::Values(RecordWidth::kNarrow, RecordWidth::kWide));

// A width and the first match to move, in chunks of that width: 0, 1, chunk - 1, chunk,
// 2 * chunk + 7, all but one, all.
class SpanChunksMoveTest : public testing::TestWithParam<std::tuple<RecordWidth, int>> {};

TEST_P(SpanChunksMoveTest, MovesTheMatchesFromFirstOn) {
    const auto [width, which] = GetParam();
    const std::int64_t chunk = ChunkMatches(width);
    const std::int64_t matches = chunk * 5 / 2;
    const std::int64_t firsts[] = {0, 1, chunk - 1, chunk, 2 * chunk + 7, matches - 1, matches};
    const std::int64_t first = firsts[which];
    SpanChunks chunks = Filled(width);
    SearchResults results(1, width);
    chunks.MoveInto(results, first);
    EXPECT_EQ(chunks.MatchCount(), 0);
    ASSERT_EQ(results.size(), matches - first);
    for (const std::int64_t m : {std::int64_t{0}, chunk - first - 1, chunk - first,
                                 2 * chunk - first, matches - first - 1}) {
        if (m < 0 || m >= results.size()) continue;
        const std::int64_t i = first + m;
        EXPECT_EQ(results[m].Span(0).offset, i) << "match " << m;
        const SubMatchSpan group = results[m].Span(1);
        EXPECT_EQ(group.offset, i % 3 == 0 ? 0 : i + 1) << "match " << m;
        EXPECT_EQ(group.length, i % 3 == 0 ? -1 : 1) << "match " << m;
        EXPECT_FALSE(results[m].Span(2).matched()) << "match " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Firsts, SpanChunksMoveTest,
                         testing::Combine(testing::Values(RecordWidth::kNarrow, RecordWidth::kWide),
                                          testing::Range(0, 7)));

// Stores given back to a pool once their matches are written hold the next matches, in the
// same memory; a store with little room, and one past the pool's bound, are not kept.
TEST(SpanStorePoolTest, FillsTheRoomOfWrittenStoresAgain) {
    SpanStorePool pool;
    SpanChunks first(1, RecordWidth::kNarrow, &pool);
    for (std::int64_t i = 0; i < 100000; ++i) {
        const SubMatchSpan records[] = {{i, 1}, {i, 1}};
        first.Append(records);
    }
    SearchResults written(1, RecordWidth::kNarrow);
    first.MoveInto(written, 0);
    std::vector<SpanStore> stores = written.TakeStores();
    ASSERT_EQ(stores.size(), 1U);
    EXPECT_TRUE(written.empty());
    const std::uint32_t* const memory = stores[0].data();
    pool.Give(std::move(stores[0]));

    SpanChunks next(1, RecordWidth::kNarrow, &pool);
    const SubMatchSpan records[] = {{7, 3}, {}};
    next.Append(records);
    EXPECT_EQ(next.WholeMatch(0).offset, 7);
    SearchResults again(1, RecordWidth::kNarrow);
    next.MoveInto(again, 0);
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].Span(0).length, 3);
    EXPECT_FALSE(again[0].Span(1).matched());
    EXPECT_EQ(again.TakeStores()[0].data(), memory);

    SpanStore small;
    small.reserve(16);
    pool.Give(std::move(small));
    EXPECT_EQ(pool.Take().capacity(), 0U);
    for (int k = 0; k < 2; ++k) {
        SpanStore big;
        big.reserve(std::size_t{3} << 18);  // 3 MB
        pool.Give(std::move(big));
    }
    EXPECT_GT(pool.Take().capacity(), 0U);
    EXPECT_EQ(pool.Take().capacity(), 0U);
}

}  // namespace
}  // namespace lintaro
