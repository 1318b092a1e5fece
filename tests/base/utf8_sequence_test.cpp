// Tests of the well-formed UTF-8 rules at the edges of their ranges.
#include "base/utf8_sequence.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "base/cpu_features.h"
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

// The fast scan must stop exactly where a character-by-character walk with the strict rules
// stops, wherever the block boundaries fall.
// Run on the processor's own instructions and as on a processor without AVX2.
class Utf8PrefixScanTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { LimitToBaselineInstructions(GetParam()); }
    void TearDown() override { LimitToBaselineInstructions(false); }
};

TEST_P(Utf8PrefixScanTest, StopsWhereACharacterWalkStops) {
    const auto walk = [](std::string_view bytes) {
        std::size_t i = 0;
        char32_t value = 0;
        while (i < bytes.size() && bytes[i] != '\0') {
            const std::size_t length = WellFormedUtf8Length(bytes.substr(i), value);
            if (length == 0) break;
            i += length;
        }
        return i;
    };
    const std::string_view pieces[] = {"a",        "0123456789abcdef", "\xE4\xB8\xAD",
                                       "\xC3\xA9", "\xF0\x9F\x98\x80", "\xED\x9F\xBF"};
    const std::string_view faults[] = {std::string_view("\0", 1),
                                       "\x80",
                                       "\xE0\x9F\xBF",
                                       "\xED\xA0\x80",
                                       "\xE4\xB8",
                                       "\xE4\xB8z",
                                       "\xFF"};
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const auto count = random() % 60;
        for (unsigned k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
        // A fault anywhere, also inside a character; some texts have none.
        if (round % 4 != 0) {
            text.insert(random() % (text.size() + 1), faults[random() % std::size(faults)]);
        }
        text += pieces[random() % std::size(pieces)];
        ASSERT_EQ(WellFormedUtf8Prefix(text), walk(text)) << testing::PrintToString(text);
    }
}

INSTANTIATE_TEST_SUITE_P(Instructions, Utf8PrefixScanTest, testing::Values(false, true),
                         [](const auto& test_case) {
                             return test_case.param ? "Baseline" : "Native";
                         });

}  // namespace
}  // namespace lintaro
