// Tests of decoding the subject file's bytes from UTF-8 into the program's text.
#include "match/subject_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

using Cut = DecodedSubject::Cut;

struct DecodeCase {
    const char* name;
    std::string charset;
    std::string bytes;
    std::string text;
    Cut cut = Cut::kNone;
    std::int64_t cut_offset = -1;
    std::int64_t replaced = 0;
};

class DecodeSubjectTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeSubjectTest, DecodesAndCuts) {
    const DecodeCase& c = GetParam();
    const DecodedSubject decoded = DecodeSubjectBytes(TextBuffer(c.bytes), c.charset);
    EXPECT_EQ(decoded.text.View(), c.text);
    EXPECT_EQ(decoded.cut, c.cut);
    EXPECT_EQ(decoded.cut_offset, c.cut_offset);
    EXPECT_EQ(decoded.replaced, c.replaced);
}

const std::string kAscii20 = "abcdefghijklmnopqrst";

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeSubjectTest,
    testing::Values(
        DecodeCase{"Empty", "UTF-8", "", ""},
        DecodeCase{"WellFormedKept", "UTF-8", "a\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n",
                   "a\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n"},
        DecodeCase{"ByteOrderMarkKept", "UTF-8", "\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
        DecodeCase{"OverlongTwoByte", "UTF-8", "\xC1\x81z", "Az"},
        DecodeCase{"OverlongThreeByte", "UTF-8", "\xE0\x81\x81", "A"},
        DecodeCase{"NulEnds", "UTF-8", std::string("ab\0cd", 5), "ab", Cut::kNul, 2},
        DecodeCase{"OverlongNulEnds", "UTF-8", "a\xC0\x80z", "a", Cut::kNul, 1},
        DecodeCase{"LoneSurrogateIsQuestionMark", "UTF-8", "a\xED\xA0\x80z", "a?z"},
        DecodeCase{"SurrogatesPairUp", "UTF-8", "\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80"},
        DecodeCase{"FourByteBeyondMaximum", "UTF-8", "\xF4\x90\x80\x80", "\xF0\x90\x80\x80"},
        DecodeCase{"FiveByteForm", "UTF-8", "\xF8\x88\x80\x80\x80", "\xF4\x80\x80\x80"},
        DecodeCase{"SixByteForm", "UTF-8", "\xFD\xBF\xBF\xBF\xBF\xBF", "\xF3\xBF\xBF\xBF"},
        DecodeCase{"StrayContinuation", "UTF-8", "ab\x80z", "ab", Cut::kMalformed, 2},
        DecodeCase{"ByteFE", "UTF-8", "a\xFE", "a", Cut::kMalformed, 1},
        DecodeCase{"ByteFF", "UTF-8", "\xFF", "", Cut::kMalformed, 0},
        DecodeCase{"BadFollower", "UTF-8", "a\xE4\xB8Z", "a", Cut::kMalformed, 1},
        DecodeCase{"EndsInsideSequence", "UTF-8", "a\xE4\xB8", "a", Cut::kMalformed, 1},
        DecodeCase{"GbkFileCutAtFirstNonAscii", "UTF-8", "ab\xD6\xD0xy", "ab", Cut::kMalformed, 2},
        DecodeCase{"WellFormedRunsMoveUpAfterShrinking", "UTF-8",
                   "\xC1\x81" + kAscii20 + "\xE0\x81\x81\xE4\xB8\xAD" + kAscii20 + "\x80",
                   "A" + kAscii20 + "A\xE4\xB8\xAD" + kAscii20, Cut::kMalformed, 48},
        DecodeCase{"GbkCharacters", "GBK", "ab\xE4\xB8\xAD", "ab\xD6\xD0"},
        DecodeCase{"GbkUnheldCharacter", "GBK", "a\xF0\x9F\x98\x80z", "a?z", Cut::kNone, -1, 1},
        DecodeCase{"GbkOverlongAndSurrogate", "GBK", "\xC1\x81\xED\xA0\x80", "A?"},
        DecodeCase{"GbkCut", "GBK", std::string("\xE4\xB8\xAD\0x", 5), "\xD6\xD0", Cut::kNul, 3}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(DecodeSubjectTest, LongTextWithScatteredLenientSequences) {
    // Many flushes and moves inside one buffer; the result must equal the per-piece result.
    std::string bytes;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        bytes += "line " + std::to_string(i) + " \xC1\x81\xED\xA0\x80\xE4\xB8\xAD\n";
        expected += "line " + std::to_string(i) + " A?\xE4\xB8\xAD\n";
    }
    const DecodedSubject decoded = DecodeSubjectBytes(TextBuffer(bytes), "UTF-8");
    EXPECT_EQ(decoded.text.View(), expected);
    EXPECT_EQ(decoded.cut, Cut::kNone);
}

struct LargeTextCase {
    const char* name;
    std::size_t fault_at;   // where the fault is put, in sixteenths of the text
    std::string fault;      // replaces the bytes there
    std::string converted;  // what the fault becomes, when the text goes on after it
    Cut cut = Cut::kNone;
};

class DecodeLargeTextTest : public testing::TestWithParam<LargeTextCase> {};

// Texts of several megabytes are checked by threads that split them; three-byte characters
// put split points inside sequences.
TEST_P(DecodeLargeTextTest, FindsTheFirstFaultWhereverTheSplitsFall) {
    const LargeTextCase& c = GetParam();
    std::string line;
    for (int i = 0; i < 20; ++i) line += "\xE4\xB8\xAD";
    line += "ab\n";
    std::string bytes;
    while (bytes.size() < (std::size_t{6} << 20)) bytes += line;
    const std::size_t offset = bytes.size() / 16 * c.fault_at;
    const std::size_t at = offset - offset % line.size();  // at the start of a line
    bytes.replace(at, c.fault.size(), c.fault);

    const DecodedSubject decoded = DecodeSubjectBytes(TextBuffer(bytes), "UTF-8");
    if (c.cut == Cut::kNone) {
        EXPECT_EQ(decoded.cut, Cut::kNone);
        EXPECT_TRUE(decoded.text.View() ==
                    bytes.substr(0, at) + c.converted + bytes.substr(at + c.fault.size()));
    } else {
        EXPECT_EQ(decoded.cut, c.cut);
        EXPECT_EQ(decoded.cut_offset, static_cast<std::int64_t>(at));
        EXPECT_TRUE(decoded.text.View() == bytes.substr(0, at));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeLargeTextTest,
    testing::Values(LargeTextCase{"WellFormed", 8, "", ""},
                    LargeTextCase{"StrayContinuationLate", 13, "\x80", "", Cut::kMalformed},
                    LargeTextCase{"SequenceCutShortEarly", 3, "\xE4\xB8z", "", Cut::kMalformed},
                    LargeTextCase{"NulInTheMiddle", 8, std::string(1, '\0'), "", Cut::kNul},
                    LargeTextCase{"LenientSequenceThenMore", 12, "\xC1\x81z", "Az"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

}  // namespace
}  // namespace lintaro
