// Tests of which patterns a search may skip ahead in: only those made of constructs known to be
// safe, so a construct the scan does not know turns the skip off.
#include "match/start_skip_pattern.h"

#include <gtest/gtest.h>

#include "match/match_run.h"

namespace lintaro {
namespace {

struct SkipCase {
    const char* pattern;
    bool allows_skip;
};

TEST(StartSkipPatternTest, SkipsOnlyOverKnownConstructs) {
    const SkipCase cases[] = {
        // The patterns searches are mostly made of: they must keep skipping.
        {kPresetPattern, true},
        {"\\w+", true},
        {"[0-9]{3,}", true},
        {"abc", true},
        {"alpha|beta|gamma", true},
        // Other constructs that judge only the bytes from the place on.
        {"[^a]b", true},
        {"a\\\\b\\.\\(\\*\\ ", true},
        {"[\\b^]x", true},
        {"[[:alpha:]_]+[[:^digit:]]", true},
        {"(?<name>a)(?P<p>b)(?'q'c)", true},
        {"(?i)a(?-i:b)(?s).(?m)", true},
        {"(?:ab)+?(?>c+)d++e{2,3}?", true},
        {"a(?=b)|c(?!d)", true},
        {"^a|b$|\\Ac|d\\z|e\\Z", true},
        {"(?=^a)a(?!b)$", true},
        {"(?!(a))\\Z", true},
        // Anchors inside a negative look-ahead hold when a place is probed as the start or end
        // of a text of a byte or two: the look-ahead would fail where a match can begin.
        {"(?!^A+\\Z)++[[:alpha:]]{1,3}", false},
        {"(?!a$)a", false},
        {"(?!(?=\\z))a", false},
        {"(?!\\Ab)a", false},
        {"\\x41\\x{42}\\cA\\0\\t\\n\\r\\e\\s\\S\\d\\D\\W\\h\\v", true},
        {"\\Q(*SKIP)\\b\\E", true},
        {"(?#(*COMMIT \\G)a", true},
        {"[(*SKIP)\\G]", true},
        // Verbs depend on the places tried before the match.
        {"aaa(*SKIP)(*F)|a", false},
        {"aa(*COMMIT)b|a", false},
        {"a(*PRUNE)b|a", false},
        {"a(*ACCEPT)", false},
        {"(*FAIL)|a", false},
        // Constructs that judge the bytes before the place, or where the search began.
        {"\\bx", false},
        {"x\\B", false},
        {"\\<x", false},
        {"x\\>", false},
        {"\\`x", false},
        {"x\\'", false},
        {"\\Gx", false},
        {"(?<=a)b", false},
        {"(?<!a)b", false},
        {"[[:<:]]a", false},
        {"a\\Kb", false},
        // Constructs that depend on earlier groups.
        {"(a)\\1", false},
        {"(?<n>a)\\k<n>", false},
        {"(a)\\g1", false},
        {"(?P<n>a)(?P=n)", false},
        {"(?(1)a|b)", false},
        {"(?(?=a)a|b)", false},
        {"a(?R)?b", false},
        {"(a)(?1)", false},
        {"(?|(a)|(b))", false},
        // The x option: spaces and '#' comments the scan would read as bytes.
        {"(?x) # [\n^a", false},
        {"(?x:a b)", false},
        {"(?ix)a", false},
        // Escapes the scan does not know, and a pattern cut short.
        {"\\E", false},
        {"\\Ra", false},
        {"a\\", false},
    };
    for (const SkipCase& c : cases) {
        EXPECT_EQ(PatternAllowsStartSkip(c.pattern), c.allows_skip) << c.pattern;
    }
}

// "^" and "\A" hold where the search began; everything else the skip allows judges the bytes
// from the place on, wherever the search began.
TEST(StartSkipPatternTest, OnlyStartAnchorsTellWhereTheSearchBegan) {
    const SkipCase cases[] = {
        {kPresetPattern, true}, {"\\w+", true},  {"[^a]b", true},   {"a\\^b\\Q^\\A\\E", true},
        {"b$|c\\z|d\\Z", true}, {"^a", false},   {"(?m)^a", false}, {"x|\\Ab", false},
        {"(?:^)", false},       {"\\bx", false},
    };
    for (const SkipCase& c : cases) {
        EXPECT_EQ(PatternIgnoresWhereItsSearchBegan(c.pattern), c.allows_skip) << c.pattern;
    }
}

}  // namespace
}  // namespace lintaro
