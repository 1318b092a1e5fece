// Tests of the regular-expression object: options, the search loop, records and text cutting.
#include "match/regex.h"

#include <gtest/gtest.h>

#include <string>

namespace lintaro {
namespace {

// "offset,length" per record, "-" for a group that took no part; records joined by " ",
// matches by "|".
std::string Describe(const SearchResults& results) {
    std::string out;
    for (std::int64_t m = 0; m < results.size(); ++m) {
        if (m > 0) out += "|";
        for (int j = 0; j <= results.GroupCount(); ++j) {
            const SubMatchSpan span = results[m].Span(j);
            if (j > 0) out += " ";
            out += span.matched() ? std::to_string(span.offset) + "," + std::to_string(span.length)
                                  : "-";
        }
    }
    return out;
}

struct SearchCase {
    const char* name;
    std::string pattern;
    bool case_sensitive;
    std::string text;
    std::string expected;
};

class SearchAllTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchAllTest, FindsTheExpectedRecords) {
    const SearchCase& c = GetParam();
    regex expression;
    ASSERT_TRUE(expression.Compile(c.pattern, c.case_sensitive))
        << expression.CompileErrorMessage();
    const SearchResults results = expression.SearchAll(c.text);
    EXPECT_EQ(Describe(results), c.expected);
    EXPECT_FALSE(results.EngineGaveUp());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchAllTest,
    testing::Values(
        SearchCase{"UnmatchedGroupAndNonCapturing", "a(b)(?:c)(d)?", true, "xabc", "1,3 2,1 -"},
        SearchCase{"IgnoreCase", "abc", false, "xABCx", "1,3"},
        SearchCase{"CaseSensitive", "abc", true, "xABCx", ""},
        SearchCase{"IgnoreCaseInSetsAndRepeats", "[a-c]+x", false, "zABcX", "1,4"},
        SearchCase{"IgnoreCaseInBackReference", "(a)\\1", false, "bAa", "1,2 1,1"},
        SearchCase{"CaretAtEverySearchStart", "^a", true, "aaa", "0,1|1,1|2,1"},
        SearchCase{"LookBehindBlindBeforeSearchStart", "(?<=a)a", true, "aaa", "1,1"},
        SearchCase{"WordBoundaryAtSearchStart", "\\bx", true, "xxx", "0,1|1,1|2,1"},
        SearchCase{"EmptyMatchAtStartStops", "a*", true, "baa", "0,0"},
        SearchCase{"EmptyMatchAfterMatchStops", "a*", true, "aab", "0,2|2,0"},
        SearchCase{"EmptyMatchLaterIsRecordedTwice", "$", true, "ab\ncd", "2,0|2,0"},
        SearchCase{"EmptyText", "a*", true, "", ""},
        SearchCase{"GbkOffsetsCountBytes", "b", true, std::string("\xD6\xD0") + "b", "2,1"},
        SearchCase{"GbkSecondByteMatches", "b", true, "\x81\x62", "1,1"},
        SearchCase{"DotIsOneByte", "(.)(.)", true, "\xD6\xD0", "0,2 0,1 1,1"}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(RegexTest, EmptyPatternDoesNotCompile) {
    regex expression;
    EXPECT_FALSE(expression.Compile("", true));
    EXPECT_EQ(expression.GetGroupCount(), 0);
    EXPECT_TRUE(expression.SearchAll("abc").empty());
    EXPECT_EQ(expression.CompileErrorMessage(), "the pattern is empty");
}

TEST(RegexTest, RejectedPatternKeepsEngineMessageAndPreviousExpression) {
    regex expression;
    ASSERT_TRUE(expression.Compile("a(b)", true));
    EXPECT_FALSE(expression.Compile("x(", true));
    EXPECT_NE(expression.CompileErrorMessage().find("parenthesis"), std::string::npos)
        << expression.CompileErrorMessage();
    EXPECT_EQ(expression.CompileErrorPosition(), 2);  // where the engine noticed
    EXPECT_EQ(expression.GetGroupCount(), 1);
    EXPECT_EQ(Describe(expression.SearchAll("xab")), "1,2 2,1");
    EXPECT_TRUE(expression.Compile("b", true));
    EXPECT_EQ(expression.CompileErrorMessage(), "");
    EXPECT_EQ(expression.CompileErrorPosition(), -1);
}

TEST(RegexTest, GroupCountIgnoresNonCapturingGroups) {
    regex expression;
    ASSERT_TRUE(expression.Compile("a(b)(?:c)(d)?", true));
    EXPECT_EQ(expression.GetGroupCount(), 2);
}

TEST(RegexTest, CutsTextsOut) {
    regex expression;
    ASSERT_TRUE(expression.Compile("(\xD6\xD0)(x)?", true));
    const std::string text = "a\xD6\xD0z";
    const SearchResults results = expression.SearchAll(text);
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].GetMatchText(text), "\xD6\xD0");
    EXPECT_EQ(results[0].GetSubMatchText(text, 1), "\xD6\xD0");
    EXPECT_EQ(results[0].GetSubMatchText(text, 2), "");
    EXPECT_EQ(results[0].GetSubMatchText(text, 3), "");  // no such record
    EXPECT_EQ(results[0].GetMatchText("a"), "");         // text too short: nothing read past it
}

TEST(RegexTest, EngineGivingUpKeepsEarlierMatches) {
    regex expression;
    ASSERT_TRUE(expression.Compile("x|(a+)+y", true));
    const SearchResults results = expression.SearchAll("x" + std::string(40, 'a'));
    EXPECT_EQ(Describe(results), "0,1 -");
    EXPECT_TRUE(results.EngineGaveUp());
    EXPECT_FALSE(results.EngineMessage().empty());
}

}  // namespace
}  // namespace lintaro
