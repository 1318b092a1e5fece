// Tests of the well-formed UTF-8 rules at the edges of their ranges.
#include "base/utf8_sequence.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

struct SequenceCase {
    const char* name;
    std::string bytes;
    std::size_t length;  // 0: not well-formed
    char32_t value = 0;
};

class WellFormedUtf8Test : public testing::TestWithParam<SequenceCase> {};

TEST_P(WellFormedUtf8Test, AcceptsExactlyTheWellFormedRanges) {
    const SequenceCase& c = GetParam();
    char32_t value = 0;
    EXPECT_EQ(WellFormedUtf8Length(c.bytes, value), c.length);
    if (c.length > 0) {
        EXPECT_EQ(value, c.value);
    }
    // The same sequence after ASCII, and followed by more: the prefix stops right before it.
    const std::string text = "abcdefghij" + c.bytes + "z";
    EXPECT_EQ(WellFormedUtf8Prefix(text), c.length > 0 ? text.size() : 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, WellFormedUtf8Test,
                         testing::Values(SequenceCase{"Ascii", "A", 1, 0x41},
                                         SequenceCase{"TwoByteLowest", "\xC2\x80", 2, 0x80},
                                         SequenceCase{"TwoByteOverlong", "\xC1\xBF", 0},
                                         SequenceCase{"ThreeByteLowest", "\xE0\xA0\x80", 3, 0x800},
                                         SequenceCase{"ThreeByteOverlong", "\xE0\x9F\xBF", 0},
                                         SequenceCase{"BelowSurrogates", "\xED\x9F\xBF", 3, 0xD7FF},
                                         SequenceCase{"Surrogate", "\xED\xA0\x80", 0},
                                         SequenceCase{"Chinese", "\xE4\xB8\xAD", 3, 0x4E2D},
                                         SequenceCase{"FourByteLowest", "\xF0\x90\x80\x80", 4,
                                                      0x10000},
                                         SequenceCase{"FourByteOverlong", "\xF0\x8F\xBF\xBF", 0},
                                         SequenceCase{"Highest", "\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
                                         SequenceCase{"BeyondHighest", "\xF4\x90\x80\x80", 0},
                                         SequenceCase{"LeadF5", "\xF5\x80\x80\x80", 0},
                                         SequenceCase{"BadThirdByte", "\xE4\xB8z", 0},
                                         SequenceCase{"StrayContinuation", "\x80", 0}),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(WellFormedUtf8PrefixTest, StopsAtNulAndAtATruncatedEnd) {
    EXPECT_EQ(WellFormedUtf8Prefix(std::string("abcdefghijk\0xyz", 15)), 11);
    EXPECT_EQ(WellFormedUtf8Prefix("abcdefgh\xE4\xB8"), 8);
}

}  // namespace
}  // namespace lintaro
