// Tests of where matches can begin: what is learnt from a probe, and the scan for candidates.
#include "match/match_starts.h"

#include <gtest/gtest.h>

#include <bitset>
#include <cctype>
#include <random>
#include <string>
#include <string_view>

#include "base/cpu_features.h"
namespace lintaro {
namespace {

// A probe for the literal "ab": an attempt can succeed where the text goes on with a prefix
// of it, or with all of it.
bool LiteralAb(std::string_view head) {
    return !head.empty() && std::string_view("ab").starts_with(head);
}

TEST(MatchStartsTest, NextFindsEveryCandidateInOrder) {
    const auto starts = MatchStarts::Learn("ab", LiteralAb);
    ASSERT_TRUE(starts.has_value());
    // Long enough for the block comparison, with candidates inside and across blocks, an "a"
    // not followed by "b", and an "a" as the very last byte.
    const std::string text = "xxaxxxxxxxxxxxxab" + std::string(20, 'y') + "ab" + "a";
    std::string found;
    for (std::int64_t at = starts->Next(text, 0); at < static_cast<std::int64_t>(text.size());
         at = starts->Next(text, at + 1)) {
        found += std::to_string(at) + " ";
    }
    EXPECT_EQ(found, "15 37 39 ");
    EXPECT_EQ(starts->Next(text, 40), static_cast<std::int64_t>(text.size()));
}

// A probe that allows the places whose first byte is in first and, when pairs is set, whose
// following byte makes an allowed pair with it.
struct SetProbeCase {
    const char* name;
    std::bitset<256> first;
    bool (*pair)(unsigned char first, unsigned char second);  // null: any second byte
};

std::bitset<256> BytesWhere(bool (*member)(unsigned char)) {
    std::bitset<256> set;
    for (std::size_t b = 0; b < 256; ++b) set[b] = member(static_cast<unsigned char>(b));
    return set;
}

// Run on the processor's own instructions and as on a processor without AVX2.
class MatchStartsScanTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { LimitToBaselineInstructions(GetParam()); }
    void TearDown() override { LimitToBaselineInstructions(false); }
};

TEST_P(MatchStartsScanTest, NextMissesNoPlaceTheProbeAllows) {
    const SetProbeCase cases[] = {
        {"digits", BytesWhere([](unsigned char b) { return b >= '0' && b <= '9'; }), nullptr},
        {"word bytes", BytesWhere([](unsigned char b) { return std::isalnum(b) != 0 || b == '_'; }),
         nullptr},
        {"letter pairs in both cases", BytesWhere([](unsigned char b) {
             return std::string_view("fFtTmMvV").find(b) != std::string_view::npos;
         }),
         [](unsigned char f, unsigned char s) {
             const std::string pair = {static_cast<char>(f | 0x20), static_cast<char>(s | 0x20)};
             return pair == "fo" || pair == "tr" || pair == "ma" || pair == "vi";
         }},
        {"scattered bytes", BytesWhere([](unsigned char b) { return b % 7 == 3; }), nullptr},
        {"a lead byte and its follower", BytesWhere([](unsigned char b) { return b == 0xE4; }),
         [](unsigned char, unsigned char s) { return s == 0xB8; }},
        {"bytes at the ends",
         BytesWhere([](unsigned char b) { return b == 0 || b == 0xFF || b == 0x20 || b == 0x40; }),
         nullptr},
    };
    std::mt19937 random(7);
    const std::string alphabet =
        std::string("0123456789fFoOtTrRmMaAvViI_ x@`\x7F\xE4\xB8\xFF", 28) + std::string(1, '\0') +
        "\x03\x0A\x11\x80\x83";
    std::string text;
    for (int i = 0; i < 20000; ++i) text += alphabet[random() % alphabet.size()];
    for (const SetProbeCase& c : cases) {
        const auto allows = [&c](std::string_view head) {
            if (head.empty() || !c.first[static_cast<unsigned char>(head[0])]) return false;
            return head.size() == 1 || c.pair == nullptr ||
                   c.pair(static_cast<unsigned char>(head[0]), static_cast<unsigned char>(head[1]));
        };
        const auto starts = MatchStarts::Learn("x", allows);
        ASSERT_TRUE(starts.has_value()) << c.name;
        for (std::size_t from : {std::size_t{0}, std::size_t{5}, std::size_t{13}}) {
            std::int64_t found = starts->Next(text, static_cast<std::int64_t>(from));
            for (std::size_t at = from; at < text.size(); ++at) {
                if (!allows(std::string_view(text).substr(at, 2))) {
                    // A place found may only be one whose first byte is allowed.
                    if (found == static_cast<std::int64_t>(at)) {
                        ASSERT_TRUE(allows(text.substr(at, 1))) << c.name << " at " << at;
                        found = starts->Next(text, found + 1);
                    }
                    continue;
                }
                ASSERT_EQ(found, static_cast<std::int64_t>(at)) << c.name << " from " << from;
                found = starts->Next(text, found + 1);
            }
            EXPECT_EQ(found, static_cast<std::int64_t>(text.size())) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Instructions, MatchStartsScanTest, testing::Values(false, true),
                         [](const auto& test_case) {
                             return test_case.param ? "Baseline" : "Native";
                         });

TEST(MatchStartsTest, NothingToLearnWhenEveryPlaceOrTheEmptyTextCanMatch) {
    EXPECT_FALSE(MatchStarts::Learn("x", [](std::string_view) { return true; }));
    EXPECT_FALSE(MatchStarts::Learn("x", [](std::string_view head) { return !head.empty(); }));
    EXPECT_FALSE(MatchStarts::Learn("\\bab", LiteralAb));
}

}  // namespace
}  // namespace lintaro
