// Tests of the stored form of match records: which width a text gets, and that every record a
// text of that width can hold reads back as it was.
#include "match/span_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lintaro {
namespace {

constexpr std::int64_t kFourGiB = std::int64_t{1} << 32;
// The longest text with narrow records.
constexpr std::int64_t kLongestNarrow = kFourGiB - 2;

TEST(SpanRecordTest, TextsFromFourGiBLessOneOnAreWide) {
    const struct {
        std::int64_t text_size;
        RecordWidth width;
    } cases[] = {
        {0, RecordWidth::kNarrow},
        {1, RecordWidth::kNarrow},
        {std::int64_t{1} << 31, RecordWidth::kNarrow},
        {kLongestNarrow, RecordWidth::kNarrow},
        {kLongestNarrow + 1, RecordWidth::kWide},
        {kFourGiB, RecordWidth::kWide},
        {kFourGiB + 1, RecordWidth::kWide},
        {std::int64_t{1} << 40, RecordWidth::kWide},
        {INT64_MAX, RecordWidth::kWide},
    };
    for (const auto& c : cases) EXPECT_EQ(RecordWidthFor(c.text_size), c.width) << c.text_size;
}

// Records of a text of text_size bytes: empty and full ones at its ends, and groups that took
// no part, one with a stale offset.
std::vector<SubMatchSpan> EdgeRecords(std::int64_t text_size) {
    return {
        {0, 0},
        {0, 1},
        {0, text_size},
        {text_size, 0},
        {text_size - 1, 1},
        {text_size / 2, text_size - text_size / 2},
        {},
        {text_size - 1, -1},
    };
}

struct WidthCase {
    RecordWidth width;
    std::int64_t text_size;
};

class SpanRecordCodecTest : public testing::TestWithParam<WidthCase> {};

TEST_P(SpanRecordCodecTest, EveryRecordOfTheTextReadsBack) {
    const auto [width, text_size] = GetParam();
    ASSERT_EQ(RecordWidthFor(text_size), width);
    for (const SubMatchSpan& span : EdgeRecords(text_size)) {
        // Words on both sides, to see that a record writes no more than its own.
        std::vector<std::uint32_t> words(WordsPerRecord(width) + 2, 0xA5A5A5A5);
        EncodeRecord(span, width, words.data() + 1);
        EXPECT_EQ(words.front(), 0xA5A5A5A5);
        EXPECT_EQ(words.back(), 0xA5A5A5A5);
        const SubMatchSpan read = DecodeRecord(words.data() + 1, width);
        const SubMatchSpan expected = span.matched() ? span : SubMatchSpan{};
        EXPECT_EQ(read.offset, expected.offset) << span.offset << "," << span.length;
        EXPECT_EQ(read.length, expected.length) << span.offset << "," << span.length;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, SpanRecordCodecTest,
                         testing::Values(WidthCase{RecordWidth::kNarrow, 1},
                                         WidthCase{RecordWidth::kNarrow, 1000},
                                         WidthCase{RecordWidth::kNarrow, kLongestNarrow},
                                         WidthCase{RecordWidth::kWide, kLongestNarrow + 1},
                                         WidthCase{RecordWidth::kWide, kFourGiB + 3},
                                         WidthCase{RecordWidth::kWide, std::int64_t{1} << 45}));

}  // namespace
}  // namespace lintaro
