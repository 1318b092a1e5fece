// The named patterns: each compiles, finds what its description says, and gives the same
// matches however the search is split or skips ahead.
#include "match/named_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "describe_results.h"
#include "match/match_run.h"
#include "match/regex.h"

namespace lintaro {
namespace {

// Group 1 and group 2 of every match ("-" for a group that took no part), or the whole match
// of a pattern without groups.
std::vector<std::string> Groups(const std::string& name, const std::string& text) {
    regex expression;
    const NamedPattern* named = FindNamedPattern(name);
    EXPECT_NE(named, nullptr) << name;
    if (named == nullptr || !expression.Compile(named->pattern, false)) return {"no pattern"};
    const SearchResults results = expression.SearchAll(text);
    std::vector<std::string> groups;
    for (std::int64_t m = 0; m < results.size(); ++m) {
        std::string row;
        const int first = results.GroupCount() == 0 ? 0 : 1;
        for (int g = first; g <= std::min(2, results.GroupCount()); ++g) {
            const SubMatchSpan span = results[m].Span(g);
            row += (g > first ? "|" : "") +
                   (span.matched() ? text.substr(static_cast<std::size_t>(span.offset),
                                                 static_cast<std::size_t>(span.length))
                                   : std::string("-"));
        }
        groups.push_back(row);
    }
    if (results.EngineGaveUp()) groups.push_back("gave up");
    return groups;
}

TEST(NamedPatternsTest, ListStartsWithThePresetAndEveryPatternCompiles) {
    ASSERT_FALSE(NamedPatterns().empty());
    EXPECT_EQ(NamedPatterns()[0].name, "default");
    EXPECT_EQ(NamedPatterns()[0].pattern, kPresetPattern);
    for (const NamedPattern& named : NamedPatterns()) {
        regex expression;
        EXPECT_TRUE(expression.Compile(named.pattern, false)) << named.name;
        EXPECT_TRUE(expression.Compile(named.pattern, true)) << named.name;
        // --list-presets prints them as tab-separated lines.
        for (const std::string& text : {named.name, named.description, named.pattern}) {
            EXPECT_EQ(text.find_first_of("\t\r\n"), std::string::npos) << named.name;
        }
    }
    EXPECT_EQ(FindNamedPattern("nope"), nullptr);
    EXPECT_EQ(NamedPatternNames(), "default, links, images, emails, urls, ipv4");
}

struct PatternCase {
    const char* label;
    const char* name;
    std::string text;
    std::vector<std::string> groups;
};

class NamedPatternCases : public testing::TestWithParam<PatternCase> {};

TEST_P(NamedPatternCases, FindsWhatABrowserOrLinkDetectorWould) {
    EXPECT_EQ(Groups(GetParam().name, GetParam().text), GetParam().groups);
}

INSTANTIATE_TEST_SUITE_P(
    Html, NamedPatternCases,
    testing::Values(
        PatternCase{"AnyOrderQuotingAndCase",
                    "links",
                    "<a href=\"/1\">one</a><A CLASS=x HREF='/2'>two</A>"
                    "<a\n id=z\n href=/3 >three</a><a href>e</a>",
                    {"/1|one", "/2|two", "/3|three", "-|e"}},
        PatternCase{"FirstHrefWins", "links", "<a href=/1 href=/2>x</a>", {"/1|x"}},
        PatternCase{"NotInCommentsScriptsOrAttributeValues",
                    "links",
                    "<!-- <a href=/c>c</a> --><script>s='<a href=/s>'</script>"
                    "<style>/*<a href=/t>*/</style><div title=\"<a href=/v>\">"
                    "<a name=n>no href</a><a href=/ok>ok</a>",
                    {"/ok|ok"}},
        PatternCase{
            "ContentEndsAtTheNextAnchor", "links", "<a href=/1>x<a href=/2>y", {"/1|x", "/2|y"}},
        PatternCase{"UnclosedTagIsNoAnchor", "links", "<a href=/1 title=\"never closed>", {}},
        PatternCase{"ImagesAltMayTakeNoPart",
                    "images",
                    "<img src=\"a.png\" alt=\"A\"><IMG ALT='b' SRC=b.png><img src=c.png/>"
                    "<img alt=no-src>",
                    {"a.png|A", "b.png|b", "c.png/|-"}}),
    [](const testing::TestParamInfo<PatternCase>& param_info) { return param_info.param.label; });

INSTANTIATE_TEST_SUITE_P(
    Text, NamedPatternCases,
    testing::Values(PatternCase{"Emails",
                                "emails",
                                "Write to ann.lee+x@mail.example.org, or bob@b.co.",
                                {"ann.lee+x|mail.example.org", "bob|b.co"}},
                    PatternCase{
                        "UrlsEndLikeALinkDetector",
                        "urls",
                        "See http://a.example/x.html. (https://en.example.org/wiki/A_(b)) "
                        "ftp://f.example/p?q=1&r=2, &lt;http://c.example/&gt; 'http://q.example/'",
                        {"http://a.example/x.html", "https://en.example.org/wiki/A_(b)",
                         "ftp://f.example/p?q=1&r=2", "http://c.example/", "http://q.example/"}},
                    PatternCase{"Ipv4",
                                "ipv4",
                                "from 10.0.0.1:8080 and 192.168.1.255; not 1.2.3.4.5 or 300.1.1.1",
                                {"10.0.0.1|8080", "192.168.1.255|-"}}),
    [](const testing::TestParamInfo<PatternCase>& param_info) { return param_info.param.label; });

// The patterns that skip or walk over markup must give the same matches when the text is
// split among threads and when the search skips ahead.
TEST(NamedPatternsTest, SplitAndSkippingSearchesAgreeWithOneSearch) {
    std::string page;
    for (int i = 0; i < 3000; ++i) {
        page += "<p class=x>Text " + std::to_string(i) +
                " mail me@h.example or see http://h.example/" + std::to_string(i) +
                ".</p><!-- <a href=/c> --><a\nHREF='/p" + std::to_string(i) +
                "'>link</a><img alt=i src=i.png><script>'<a href=/s>'</script> 10.1.2.3\n";
    }
    for (const NamedPattern& named : NamedPatterns()) {
        regex expression;
        ASSERT_TRUE(expression.Compile(named.pattern, false)) << named.name;
        const std::string alone = Describe(
            expression.SearchAll(page, {.parts = 1, .threads = 1, .skip = StartSkip::kNone}));
        for (const SearchOptions& options :
             {SearchOptions{.parts = 7, .threads = 3},
              SearchOptions{.skip = StartSkip::kEachCandidate},
              SearchOptions{.parts = 5, .threads = 2, .skip = StartSkip::kFirstCandidate}}) {
            EXPECT_EQ(Describe(expression.SearchAll(page, options)), alone) << named.name;
        }
        EXPECT_EQ(alone.find("gave up"), std::string::npos) << named.name;
    }
}

}  // namespace
}  // namespace lintaro
