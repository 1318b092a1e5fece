// ReplacePairs: the passes, the character walk, and the sets of bytes it walks.
#include "export/replace_pairs.h"

#include <gtest/gtest.h>

#include <vector>

namespace lintaro {
namespace {

struct ReplaceCase {
    const char* name;
    std::vector<ReplacePair> pairs;
    CharacterSetKind kind;
    std::string text;
    std::string expected;
};

class ReplacePairsTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplacePairsTest, Replaces) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplacePairs(c.text, c.pairs, c.kind), c.expected);
}

const std::vector<ReplacePair> kEscapes = {
    {" ", "&nbsp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"\"", "&quot;"}, {"'", "&apos;"}};
constexpr auto kUtf8 = CharacterSetKind::kUtf8;
constexpr auto kDoubleByte = CharacterSetKind::kDoubleByte;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacePairsTest,
    testing::Values(
        ReplaceCase{
            "EscapesEveryOccurrence", kEscapes, kUtf8, "<a href='x'>\"y z\"</a> & 中",
            "&lt;a&nbsp;href=&apos;x&apos;&gt;&quot;y&nbsp;z&quot;&lt;/a&gt;&nbsp;&&nbsp;中"},
        ReplaceCase{"EmptyText", kEscapes, kUtf8, "", ""},
        ReplaceCase{"EmptyFindTakesNoPart", {{"", "x"}, {"a", "b"}}, kUtf8, "aa", "bb"},
        ReplaceCase{"CaseCounts", {{"a", "x"}}, kUtf8, "aA", "xA"},
        // Each pass searches from the start again, so a replacement can join with its
        // neighbours into a new occurrence.
        ReplaceCase{"SearchesAgainFromStart", {{"aa", "a"}}, kUtf8, "aaaa", "a"},
        ReplaceCase{"OnePerPairPerPass", {{"bc", "Y"}, {"ab", "X"}}, kUtf8, "abcabc", "aYXc"},
        ReplaceCase{"SameFindTwice", {{"a", "x"}, {"a", "y"}}, kUtf8, "aaa", "xyx"},
        ReplaceCase{
            "MultiByteFindAndReplacement", {{"：", ": "}, {"中", "zh"}}, kUtf8, "中：中", "zh: zh"},
        // A find text never starts inside a character: here "\xB8\xAD" is the tail of "中".
        ReplaceCase{"Utf8NotInsideCharacter", {{"\xB8\xAD", "X"}}, kUtf8, "中", "中"},
        ReplaceCase{"Utf8StrayContinuationIsACharacter", {{"\xAD", "X"}}, kUtf8, "中\xAD", "中X"},
        // "\x81\x40" is one GBK character whose second byte is "@".
        ReplaceCase{"DoubleByteSecondByteIsNoMatch",
                    {{"@", "at"}},
                    kDoubleByte,
                    "\x81\x40@",
                    "\x81\x40"
                    "at"},
        ReplaceCase{"Utf8SeesTheSameBytesAsTwoCharacters",
                    {{"@", "at"}},
                    kUtf8,
                    "\x81\x40@",
                    "\x81"
                    "atat"},
        ReplaceCase{"DoubleByteMultiByteFind",
                    {{"\xD0\xD6", "X"}},
                    kDoubleByte,
                    "\xD6\xD0\xD6\xD0\xD6",
                    "\xD6\xD0\xD6\xD0\xD6"},
        ReplaceCase{"DoubleByteLoneLeadAtEnd", {{"\xD6", "X"}}, kDoubleByte, "a\xD6", "aX"},
        ReplaceCase{"Gb18030FourByteCharacter",
                    {{"0", "zero"}},
                    kDoubleByte,
                    "\x81\x30\x81\x30"
                    "0",
                    "\x81\x30\x81\x30"
                    "zero"}),
    [](const testing::TestParamInfo<ReplaceCase>& row) { return row.param.name; });

TEST(CharacterSetKindTest, KnowsTheSetsByName) {
    const std::vector<std::pair<std::string, CharacterSetKind>> cases = {
        {"UTF-8", kUtf8},
        {"utf8", kUtf8},
        {"GBK", kDoubleByte},
        {"gb18030", kDoubleByte},
        {"BIG5-HKSCS", kDoubleByte},
        {"ISO-8859-1", CharacterSetKind::kSingleByte},
    };
    for (const auto& [name, kind] : cases) EXPECT_EQ(CharacterSetKindOf(name), kind) << name;
}

}  // namespace
}  // namespace lintaro
