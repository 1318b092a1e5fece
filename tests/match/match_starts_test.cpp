// Tests of where matches can begin: which patterns allow skipping, and the scan for candidates.
#include "match/match_starts.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lintaro {
namespace {

struct LooksBehindCase {
    const char* pattern;
    bool looks_behind;
};

TEST(MatchStartsTest, PatternsThatLookBeforeTheirStart) {
    const LooksBehindCase cases[] = {
        {"abc", false},      {"[^a]b", false},         {"a\\\\b", false},
        {"[\\b^]x", false},  {"(?<name>a)", false},    {"(?i)a", false},
        {"^a", true},        {"a|x^", true},           {"\\bx", true},
        {"x\\B", true},      {"\\Ax", true},           {"\\Gx", true},
        {"\\<x", true},      {"(?<=a)b", true},        {"(?<!a)b", true},
        {"(a)\\1", true},    {"(?<n>a)\\k<n>", true},  {"(a)\\g1", true},
        {"(?(1)a|b)", true}, {"[[:<:]]a", true},       {"(?x) # [\n^a", true},
        {"\\Q^\\E", true},   {"(?P<n>a)(?P=n)", true},
    };
    for (const LooksBehindCase& c : cases) {
        EXPECT_EQ(PatternLooksBehind(c.pattern), c.looks_behind) << c.pattern;
    }
}

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

TEST(MatchStartsTest, NothingToLearnWhenEveryPlaceOrTheEmptyTextCanMatch) {
    EXPECT_FALSE(MatchStarts::Learn("x", [](std::string_view) { return true; }));
    EXPECT_FALSE(MatchStarts::Learn("x", [](std::string_view head) { return !head.empty(); }));
    EXPECT_FALSE(MatchStarts::Learn("^ab", LiteralAb));
}

}  // namespace
}  // namespace lintaro
