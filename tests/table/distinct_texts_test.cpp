// Tests of finding a column's distinct texts: against a plain map, over enough texts that the
// hash table grows several times, with texts that differ only in their last bytes.
#include "table/distinct_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lintaro {
namespace {

// Over 20,000 texts, found by one thread, and 300,000, found in pieces by several threads,
// where texts first occur in every piece.
TEST(DistinctTextsTest, NumbersEachTextAsItFirstOccurs) {
    for (const int count : {20000, 300000}) {
        std::vector<std::string> owned;
        for (int i = 0; i < count; ++i) {
            const int value = static_cast<int>((std::int64_t{i} * 7919) % (6000 + i / 1000));
            // Eight-byte words alike, tails that differ; the empty text; a NUL inside.
            owned.push_back(value % 5 == 0   ? std::string()
                            : value % 5 == 1 ? "https://example.com/" + std::to_string(value)
                            : value % 5 == 2 ? std::string("a\0b", 3) + std::to_string(value % 7)
                                             : std::to_string(value));
        }
        const std::vector<std::string_view> texts(owned.begin(), owned.end());
        const DistinctTexts distinct = FindDistinctTexts(texts);

        std::map<std::string_view, std::uint32_t> expected;
        std::vector<std::string_view> expected_order;
        ASSERT_EQ(distinct.index_of.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const auto [at, added] =
                expected.try_emplace(texts[i], static_cast<std::uint32_t>(expected_order.size()));
            if (added) expected_order.push_back(texts[i]);
            ASSERT_EQ(distinct.index_of[i], at->second) << i;
        }
        EXPECT_EQ(distinct.texts, expected_order);
        EXPECT_GT(distinct.texts.size(), 2000U);
    }
    EXPECT_TRUE(FindDistinctTexts({}).texts.empty());
}

}  // namespace
}  // namespace lintaro
