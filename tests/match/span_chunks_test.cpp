// Tests of the chunked match records and of SearchResults built from their chunks.
#include "match/span_chunks.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lintaro {
namespace {

// One group; match i lies at offset i, its group at offset i + 1.
constexpr std::int64_t kChunkMatches = (std::int64_t{1} << 19) / 2;
constexpr std::int64_t kMatches = kChunkMatches * 5 / 2;

SpanChunks Filled() {
    SpanChunks chunks(1);
    for (std::int64_t i = 0; i < kMatches; ++i) {
        const SubMatchSpan records[] = {{i, 2}, {i + 1, 1}};
        chunks.Append(records);
    }
    return chunks;
}

TEST(SpanChunksTest, KeepsEveryMatchAcrossChunks) {
    const SpanChunks chunks = Filled();
    EXPECT_EQ(chunks.MatchCount(), kMatches);
    for (const std::int64_t i :
         {std::int64_t{0}, kChunkMatches - 1, kChunkMatches, 2 * kChunkMatches, kMatches - 1}) {
        EXPECT_EQ(chunks.WholeMatch(i).offset, i);
    }
}

class SpanChunksMoveTest : public testing::TestWithParam<std::int64_t> {};

TEST_P(SpanChunksMoveTest, MovesTheMatchesFromFirstOn) {
    const std::int64_t first = GetParam();
    SpanChunks chunks = Filled();
    SearchResults results(1);
    chunks.MoveInto(results, first);
    EXPECT_EQ(chunks.MatchCount(), 0);
    ASSERT_EQ(results.size(), kMatches - first);
    for (const std::int64_t m : {std::int64_t{0}, kChunkMatches - first - 1, kChunkMatches - first,
                                 2 * kChunkMatches - first, kMatches - first - 1}) {
        if (m < 0 || m >= results.size()) continue;
        EXPECT_EQ(results[m].Span(0).offset, first + m) << "match " << m;
        EXPECT_EQ(results[m].Span(1).offset, first + m + 1) << "match " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Firsts, SpanChunksMoveTest,
                         testing::Values(0, 1, kChunkMatches - 1, kChunkMatches,
                                         2 * kChunkMatches + 7, kMatches - 1, kMatches));

}  // namespace
}  // namespace lintaro
