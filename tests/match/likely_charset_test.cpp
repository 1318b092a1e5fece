// Tests of finding the character set a file that is not UTF-8 declares or is most likely in.
#include "match/likely_charset.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

struct SniffCase {
    const char* name;
    std::string bytes;
    std::string declared;
    std::string likely;
};

class LikelyCharsetTest : public testing::TestWithParam<SniffCase> {};

TEST_P(LikelyCharsetTest, ReadsTheDeclarationAndChecksIt) {
    const SniffCase& c = GetParam();
    EXPECT_EQ(DeclaredCharset(c.bytes), c.declared);
    EXPECT_EQ(LikelyCharset(c.bytes), c.likely);
}

const std::string kGbkText = "<p>\xD6\xD0\xCE\xC4</p>";   // 中文
const std::string kBig5Text = "<p>\xA4\xA4\xA4\xE5</p>";  // 中文

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, LikelyCharsetTest,
    testing::Values(
        SniffCase{"Utf16LeMark", std::string("\xFF\xFE<\0\x2D\x4E", 6), "UTF-16LE", "UTF-16LE"},
        SniffCase{"Utf16BeMark", std::string("\xFE\xFF\0<\x4E\x2D", 6), "UTF-16BE", "UTF-16BE"},
        // The mark itself is no GB18030 text, so there is nothing to offer.
        SniffCase{"Utf8MarkOverGbk", "\xEF\xBB\xBF" + kGbkText, "UTF-8", ""},
        SniffCase{"MetaCharset", "<html><head><META Charset='big5'>" + kBig5Text, "BIG5", "BIG5"},
        SniffCase{"MetaHttpEquiv",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
                  "\x93\xFA\x96{",
                  "SHIFT_JIS", "SHIFT_JIS"},
        SniffCase{"Gb2312ReadAsGbk", "<meta charset=gb2312>" + kGbkText, "GBK", "GBK"},
        SniffCase{"XmlDeclaration", "<?xml version=\"1.0\" encoding=\"EUC-KR\"?>\xC7\xD1", "EUC-KR",
                  "EUC-KR"},
        SniffCase{"NoneButGb18030Decodes", kGbkText, "", "GB18030"},
        SniffCase{"NoneAndNotGb18030", "ab\xFF", "", ""},
        SniffCase{"DeclaredUtf8Lies", "<meta charset=\"utf-8\">" + kGbkText, "UTF-8", "GB18030"},
        SniffCase{"DeclaredAsciiLies", "<meta charset=us-ascii>" + kGbkText, "US-ASCII",
                  "GB18030"},
        SniffCase{"DeclaredUnknownSet", "<meta charset=klingon>" + kGbkText, "KLINGON", "GB18030"},
        SniffCase{"DeclarationAfterFourKilobytes",
                  std::string(4096, ' ') + "<meta charset=big5>" + kBig5Text, "", "GB18030"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });
// clang-format on

}  // namespace
}  // namespace lintaro
