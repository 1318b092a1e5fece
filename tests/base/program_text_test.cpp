// Tests of the conversions between the program's text and UTF-16 / UTF-8.
#include "base/program_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

struct Utf16Case {
    const char* name;
    std::string charset;
    std::u16string utf16;
    std::string text;
};

class Utf16ToCharsetTest : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16ToCharsetTest, Converts) {
    EXPECT_EQ(Utf16ToCharset(GetParam().utf16, GetParam().charset), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16ToCharsetTest,
    testing::Values(
        Utf16Case{"Utf8Ascii", "UTF-8", u"ab\r\n", "ab\r\n"},
        Utf16Case{"Utf8Cjk", "UTF-8", u"中z", "\xE4\xB8\xADz"},
        Utf16Case{"Utf8Pair", "UTF-8", u"\U0001F600", "\xF0\x9F\x98\x80"},
        Utf16Case{"Utf8LoneHigh", "UTF-8", std::u16string{u'a', char16_t(0xD800), u'b'}, "a?b"},
        Utf16Case{"Utf8LoneLowAtEnd", "UTF-8", std::u16string{u'a', char16_t(0xDC00)}, "a?"},
        Utf16Case{"Utf8Nul", "UTF-8", std::u16string{u'a', u'\0', u'b'}, std::string("a\0b", 3)},
        Utf16Case{"GbkCjk", "GBK", u"ab中xy", "ab\xD6\xD0xy"},
        Utf16Case{"GbkUnheld", "GBK", u"a\u0E01b", "a?b"},
        Utf16Case{"GbkPairIsOneCharacter", "GBK", u"a\U0001F600b", "a?b"},
        Utf16Case{"GbkLoneSurrogate", "GBK", std::u16string{char16_t(0xD800), u'x'}, "?x"},
        Utf16Case{"UnknownSetHoldsNothing", "NO-SUCH-SET", u"ab", "??"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(ProgramTextTest, CharsetToUtf16ReplacesUndecodableBytes) {
    EXPECT_EQ(CharsetToUtf16("a\xD6\xD0z", "GBK"), u"a中z");
    EXPECT_EQ(CharsetToUtf16("a\xFFz", "GBK"), u"a\uFFFDz");
    EXPECT_EQ(CharsetToUtf16("a\xE4\xB8\xAD\xC0\x80", "UTF-8"), u"a中\uFFFD\uFFFD");
    EXPECT_EQ(CharsetToUtf16("\xF0\x9F\x98\x80", "UTF-8"), u"\U0001F600");
}

TEST(ProgramTextTest, Utf8EdgeConversions) {
    EXPECT_EQ(CharsetToUtf8("\xD6\xD0x", "GBK"), "\xE4\xB8\xADx");
    EXPECT_EQ(Utf8ToCharset("序号\xE0\xB8\x81", "GBK"), "\xD0\xF2\xBA\xC5?");
    EXPECT_EQ(Utf8ToCharset("\xFFok", "UTF-8"), "\xFFok");
}

TEST(ProgramTextTest, TestEnvironmentUsesUtf8) {
    // The tests run under C.UTF-8; the C locale would count as UTF-8 as well.
    EXPECT_TRUE(ProgramCharsetIsUtf8());
    EXPECT_EQ(Utf8ToProgramText("序号"), "序号");
}

}  // namespace
}  // namespace lintaro
