// Tests of the pattern readers' shared pieces: the comments dropped before compiling, which the
// engine's parser would loop on for ever.
#include "match/pattern_syntax.h"

#include <gtest/gtest.h>

#include "describe_results.h"
#include "match/regex.h"

namespace lintaro {
namespace {

TEST(PatternSyntaxTest, DropsOnlyTheCommentsAfterPossessiveRepeats) {
    const struct {
        const char* pattern;
        const char* kept;
    } cases[] = {
        {" ++(?#c)a", " ++a"},
        {"a*+(?#c)(?#d)b", "a*+b"},
        {"a{2}+ \t(?#c)b", "a{2}+ \tb"},
        {"(?x)a?+ (?#c) (?#d)b", "(?x)a?+  b"},
        // Comments anywhere else, and what only looks like a possessive repeat or a comment.
        {"a(?#c)+b", "a(?#c)+b"},
        {"a+(?#c)b", "a+(?#c)b"},
        {"\\++(?#c)b", "\\++(?#c)b"},
        {"[*+](?#c)b", "[*+](?#c)b"},
        {"a++[(?#c)]", "a++[(?#c)]"},
        {"a++\\Q(?#c)\\E", "a++\\Q(?#c)\\E"},
        {"(?#a++)(?#c)b", "(?#a++)(?#c)b"},
        {"a++(?#c", "a++"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutCommentsAfterPossessiveRepeats(c.pattern), c.kept) << c.pattern;
    }
}

// Compiling these never returned.
TEST(PatternSyntaxTest, PatternsThatHungTheEngineCompileAndMatch) {
    const struct {
        const char* pattern;
        const char* text;
        const char* matches;
    } cases[] = {
        {" ++(?#c)a", "x   a", "1,4|"},
        {"(?i:ab|b)++(?#c)x", "aBbx", "0,4|"},
        {"(?x)a++ (?#c) b", "aab", "0,3|"},
    };
    for (const auto& c : cases) {
        regex expression;
        ASSERT_TRUE(expression.Compile(c.pattern, true)) << c.pattern;
        EXPECT_EQ(Describe(expression.SearchAll(c.text)), c.matches) << c.pattern;
    }
}

}  // namespace
}  // namespace lintaro
