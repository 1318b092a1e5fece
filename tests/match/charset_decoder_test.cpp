// Tests of decoding the subject file's bytes from a named character set into the program's text.
#include "match/charset_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

using Cut = DecodedSubject::Cut;

struct CharsetCase {
    const char* name;
    std::string from;
    std::string charset;  // the program's text
    std::string bytes;
    std::string text;
    Cut cut = Cut::kNone;
    std::int64_t cut_offset = -1;
    std::int64_t replaced = 0;
};

class DecodeCharsetTest : public testing::TestWithParam<CharsetCase> {};

TEST_P(DecodeCharsetTest, DecodesAndCuts) {
    const CharsetCase& c = GetParam();
    const DecodedSubject decoded = DecodeCharsetBytes(c.bytes, c.from, c.charset);
    EXPECT_EQ(decoded.text.View(), c.text);
    EXPECT_EQ(decoded.cut, c.cut);
    EXPECT_EQ(decoded.cut_offset, c.cut_offset);
    EXPECT_EQ(decoded.replaced, c.replaced);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeCharsetTest,
    testing::Values(
        CharsetCase{"Empty", "GBK", "UTF-8", "", ""},
        CharsetCase{"Gbk", "GBK", "UTF-8", "ab\xD6\xD0", "ab中"},
        CharsetCase{"Cp936IsGbk", "cp936", "UTF-8", "\xD6\xD0\xA5\xA2", "中ア"},
        CharsetCase{"Gb18030FourByte", "gb18030", "UTF-8", "\x94" "9\xFC" "6\x83" "6\x84" "3",
                    "😀한"},
        CharsetCase{"Big5", "big5", "UTF-8", "\xA4\xA4\xA4\xE5", "中文"},
        CharsetCase{"ShiftJis", "shift_jis", "UTF-8", "\x93\xFA\x96{", "日本"},
        CharsetCase{"EucJp", "euc-jp", "UTF-8", "\xC6\xFC\xCB\xDC", "日本"},
        CharsetCase{"EucKr", "euc-kr", "UTF-8", "\xC7\xD1\xB1\xB9", "한국"},
        CharsetCase{"Windows1252", "windows-1252", "UTF-8", "\x80\xDF", "€ß"},
        CharsetCase{"Latin1", "iso-8859-1", "UTF-8", "\xDF\xF6", "ßö"},
        CharsetCase{"Utf16LeMarkLeftOut", "utf-16le", "UTF-8", std::string("\xFF\xFE" "a\0", 4), "a"},
        CharsetCase{"Utf16BeWithoutMark", "UTF-16BE", "UTF-8", std::string("\0a\x4E\x2D", 4), "a中"},
        CharsetCase{"Utf16ReadsItsMark", "UTF-16", "UTF-8", std::string("\xFF\xFE" "a\0", 4), "a"},
        // Offsets count the file's bytes, the mark included.
        CharsetCase{"Utf16LeNulCuts", "UTF-16LE", "UTF-8",
                    std::string("\xFF\xFE" "a\0\0\0b\0", 8), "a", Cut::kNul, 4},
        CharsetCase{"Utf16LeLoneSurrogateCuts", "UTF-16LE", "UTF-8",
                    std::string("a\0\0\xDCz\0", 6), "a", Cut::kMalformed, 2},
        CharsetCase{"Utf16LeOddLength", "UTF-16LE", "UTF-8", std::string("a\0b", 3), "a",
                    Cut::kMalformed, 2},
        // Other names iconv gives the two-byte and four-byte sets: a zero byte is no NUL there.
        CharsetCase{"UnicodeLittle", "UNICODELITTLE", "UTF-8", std::string("a\0\x2D\x4E", 4), "a中"},
        CharsetCase{"UnicodeBig", "UNICODEBIG", "UTF-8", std::string("\0a", 2), "a"},
        CharsetCase{"CsUnicode", "CSUNICODE", "UTF-8", std::string("a\0\0\0b\0", 6), "a",
                    Cut::kNul, 2},
        CharsetCase{"Iso10646", "10646-1:1993", "UTF-8", std::string("\0\0\0a", 4), "a"},
        CharsetCase{"MalformedCuts", "GBK", "UTF-8", "ab\xD6\xD0\xFFz", "ab中", Cut::kMalformed, 4},
        CharsetCase{"EndsInsideCharacter", "GBK", "UTF-8", "ab\xD6", "ab", Cut::kMalformed, 2},
        CharsetCase{"NulCuts", "GBK", "UTF-8", std::string("a\0\xFF", 3), "a", Cut::kNul, 1},
        CharsetCase{"MalformedBeforeNul", "GBK", "UTF-8", std::string("a\xFF\0", 3), "a",
                    Cut::kMalformed, 1},
        CharsetCase{"UnassignedWindows1252Byte", "windows-1252", "UTF-8", "a\x81", "a",
                    Cut::kMalformed, 1},
        // Into a program text of GBK: what GBK cannot hold becomes "?" and is counted.
        CharsetCase{"IntoGbk", "gb18030", "GBK", "\xD6\xD0\x83" "6\x84" "3\x94" "9\xFC" "6z",
                    "\xD6\xD0??z", Cut::kNone, -1, 2},
        CharsetCase{"Latin1IntoGbk", "iso-8859-1", "GBK", "a\xDF\xF6", "a??", Cut::kNone, -1, 2}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

}  // namespace
}  // namespace lintaro
