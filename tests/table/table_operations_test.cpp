// Tests of the operations on the result table: trim, unique, sort, decode and resolve on a
// column, and the column they refuse.
#include "table/table_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/text_buffer.h"
#include "support/listed_source_rows.h"
#include "support/table_builder.h"
#include "table/link_resolution.h"
#include "table/result_table_builder.h"
#include "table/white_space_trim.h"

namespace lintaro {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every cell, rows as lists, so that a whole table compares in one expectation.
Rows Cells(const ResultTable& table) {
    Rows rows;
    for (int row = 0; row < table.RowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.ColumnCount(); ++column) {
            rows.back().emplace_back(*table.GetCell(row, column));
        }
    }
    return rows;
}

// A table with the heading row "序号|匹配文本|子表达式匹配1" and these (match, group) rows.
ResultTable TableOf(const std::vector<std::pair<std::string, std::string>>& matches) {
    Rows cells = {{"序号", "匹配文本", "子表达式匹配1"}};
    int number = 1;
    for (const auto& [match, group] : matches) {
        cells.push_back({std::to_string(number++), match, group});
    }
    return MakeTable(cells);
}

TEST(WhiteSpaceTrim, MakesRunsOneSpaceAndDropsTheEnds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"   ", ""},
        {"a", "a"},
        {"a b c", "a b c"},
        {"a\tb", "a b"},
        {" a", "a"},
        {"a ", "a"},
        {"  a  b  ", "a b"},
        {"\n\t Read\r\n   more \f", "Read more"},
        {"中文\n  链接", "中文 链接"},
        // The ideographic space and the no-break space are not HTML white space.
        {"\u3000中\u00a0文", "\u3000中\u00a0文"},
    };
    for (const auto& [text, trimmed] : cases) {
        EXPECT_EQ(TrimWhiteSpace(text), trimmed) << text;
        EXPECT_EQ(IsTrimmed(text), trimmed == text) << text;
    }
}

TEST(TableOperations, RefuseAColumnOutsideTheTable) {
    ResultTable table = TableOf({{"a", "b"}});
    EXPECT_EQ(ColumnProblem(table, 1), std::nullopt);
    EXPECT_EQ(ColumnProblem(table, 2), std::nullopt);
    EXPECT_EQ(ColumnProblem(table, 3), "column 3 is outside the table: it has columns 1 to 2");
    EXPECT_EQ(ColumnProblem(table, 0), "column 0 is outside the table: it has columns 1 to 2");
    EXPECT_EQ(ColumnProblem(table, -1), "column -1 is outside the table: it has columns 1 to 2");
    const Rows before = Cells(table);
    CLibraryCollation collation;
    EXPECT_EQ(TrimColumn(table, 3), 0);
    EXPECT_EQ(KeepUniqueRows(table, 3), 0);
    SortRows(table, 3, collation);
    EXPECT_EQ(Cells(table), before);
}

TEST(TableOperations, TrimAndDecodeChangeOnlyTheirColumn) {
    ResultTable table = TableOf({{" x&amp;y ", " a &amp; b\n c "}, {"", ""}, {"中&eacute;", "文"}});
    EXPECT_EQ(TrimColumn(table, 2), 1);
    EXPECT_EQ(DecodeColumn(table, 2), 1);
    EXPECT_EQ(DecodeColumn(table, 1), 2);
    EXPECT_EQ(Cells(table), (Rows{{"序号", "匹配文本", "子表达式匹配1"},
                                  {"1", " x&y ", "a & b c"},
                                  {"2", "", ""},
                                  {"3", "中é", "文"}}));
}

TEST(TableOperations, UniqueKeepsTheFirstRowOfEachValueAndNumbersAnew) {
    ResultTable table =
        TableOf({{"a", "链接"}, {"b", ""}, {"c", "链接"}, {"d", "x"}, {"e", ""}, {"f", "x"}});
    EXPECT_EQ(KeepUniqueRows(table, 2), 3);
    EXPECT_EQ(Cells(table), (Rows{{"序号", "匹配文本", "子表达式匹配1"},
                                  {"1", "a", "链接"},
                                  {"2", "b", ""},
                                  {"3", "d", "x"}}));
}

TEST(TableOperations, SortIsStableAndNumbersAnew) {
    ResultTable table = TableOf({{"1", "b"}, {"2", "a"}, {"3", "b"}, {"4", ""}, {"5", "a"}});
    CLibraryCollation collation;
    SortRows(table, 2, collation);
    EXPECT_EQ(Cells(table), (Rows{{"序号", "匹配文本", "子表达式匹配1"},
                                  {"1", "4", ""},
                                  {"2", "2", "a"},
                                  {"3", "5", "a"},
                                  {"4", "1", "b"},
                                  {"5", "3", "b"}}));
}

TEST(TableOperations, SortComparesNumbersAsNumbersOnlyWhenEveryCellIsOne) {
    ResultTable numbers = TableOf({{"a", "10"}, {"b", "9"}, {"c", "-2.5"}, {"d", "1e1"}});
    CLibraryCollation collation;
    SortRows(numbers, 2, collation);
    EXPECT_EQ(Cells(numbers), (Rows{{"序号", "匹配文本", "子表达式匹配1"},
                                    {"1", "c", "-2.5"},
                                    {"2", "b", "9"},
                                    {"3", "a", "10"},
                                    {"4", "d", "1e1"}}));
    // One text among the numbers: the column is ordered as texts.
    ResultTable texts = TableOf({{"a", "10"}, {"b", "9"}, {"c", "x"}});
    SortRows(texts, 2, collation);
    EXPECT_EQ(Cells(texts)[1][2], "10");
    EXPECT_EQ(Cells(texts)[2][2], "9");
}

// A column long enough to be read, grouped and sorted by several threads gives what one
// thread gives: the first row of each text kept, the rows stably ordered by their text
// (zero-padded numbers, which every locale orders as their bytes).
TEST(TableOperations, LongColumnsGiveWhatOneThreadGives) {
    constexpr int kRows = 150000;
    std::vector<std::pair<std::string, std::string>> matches;
    for (int i = 0; i < kRows; ++i) {
        char group[16];
        std::snprintf(group, sizeof group, "t%06d", (i * 7919) % 40000);
        matches.emplace_back("m" + std::to_string(i), group);
    }
    const auto matches_in_order = [](const ResultTable& table) {
        std::vector<std::string> in_order;
        for (int row = 1; row < table.RowCount(); ++row) {
            EXPECT_EQ(*table.GetCell(row, 0), std::to_string(row));
            in_order.emplace_back(*table.GetCell(row, 1));
        }
        return in_order;
    };

    std::vector<std::pair<std::string, std::string>> sorted = matches;
    std::ranges::stable_sort(sorted, {}, &std::pair<std::string, std::string>::second);
    ResultTable table = TableOf(matches);
    CLibraryCollation collation;
    SortRows(table, 2, collation);
    std::vector<std::string> expected_sorted;
    for (const auto& [match, group] : sorted) expected_sorted.push_back(match);
    EXPECT_TRUE(matches_in_order(table) == expected_sorted);

    std::vector<std::string> expected_unique;
    std::set<std::string> seen;
    for (const auto& [match, group] : matches) {
        if (seen.insert(group).second) expected_unique.push_back(match);
    }
    ResultTable unique = TableOf(matches);
    EXPECT_EQ(KeepUniqueRows(unique, 2), kRows - 40000);
    EXPECT_TRUE(matches_in_order(unique) == expected_unique);
}

// Sorting and keeping unique rows on tables of no and one data row.
TEST(TableOperations, WorkOnTablesOfNoRowAndOneRow) {
    for (int rows = 0; rows <= 1; ++rows) {
        ResultTable table = rows == 0 ? TableOf({}) : TableOf({{" <a href=\"x\">&amp;</a> ", "x"}});
        CLibraryCollation collation;
        SortRows(table, 1, collation);
        EXPECT_EQ(KeepUniqueRows(table, 1), 0);
        EXPECT_EQ(TrimColumn(table, 1), rows);
        EXPECT_EQ(DecodeColumn(table, 1), rows);
        EXPECT_EQ(ResolveColumn(table, 2, "").relative, rows);
        EXPECT_EQ(table.RowCount(), rows + 1);
    }
}

// The operations on a table whose rows show the searched text, as a match run leaves it: a
// group that took no part shows as the empty text, like an empty group, and stays so.
TEST(TableOperations, WorkOnRowsThatShowTheSearchedText) {
    const std::string text = "<a href=\"b\">B</a><a href=\"a\"></a><a href=\"b\">B2</a><a>";
    auto rows = std::make_shared<ListedSourceRows>(std::vector<std::vector<SourceSpan>>{
        {{0, 17}, {9, 1}, {12, 1}},
        {{17, 16}, {26, 1}, {29, 0}},
        {{33, 18}, {42, 1}, {45, 2}},
        {{51, 3}, {0, -1}, {0, -1}},
    });
    ResultTable table = BuildResultTable(2, std::make_shared<TextBuffer>(text), rows, {});
    EXPECT_EQ(KeepUniqueRows(table, 2), 1);
    CLibraryCollation collation;
    SortRows(table, 2, collation);
    EXPECT_EQ(ResolveColumn(table, 2, "https://example.com/d/").resolved, 2);
    EXPECT_EQ(Cells(table), (Rows{{"序号", "匹配文本", "子表达式匹配1", "子表达式匹配2"},
                                  {"1", "<a>", "", ""},
                                  {"2", "<a href=\"a\"></a>", "https://example.com/d/a", ""},
                                  {"3", "<a href=\"b\">B</a>", "https://example.com/d/b", "B"}}));
}

TEST(LinkResolution, FollowsRfc3986AndLeavesLinksWithASchemeAlone) {
    const std::string base = "http://a/b/c/d;p?q";
    const std::vector<std::pair<std::string, std::string>> cases = {
        // RFC 3986 section 5.4's examples.
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"", ""},
        {".", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../..", "http://a/"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"g;x=1/../y", "http://a/b/c/y"},
        // Links that keep their form.
        {"#s", "#s"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"javascript:void(0)", "javascript:void(0)"},
        {"data:text/plain,x", "data:text/plain,x"},
        {"https://example.com/x", "https://example.com/x"},
        // What a URI cannot hold is percent-encoded, as a browser does.
        {"中文 页.html", "http://a/b/c/%E4%B8%AD%E6%96%87%20%E9%A1%B5.html"},
        {"  g\n ", "http://a/b/c/g"},
    };
    for (const auto& [link, resolved] : cases) {
        EXPECT_EQ(ResolveLink(link, base), resolved) << link;
    }
    EXPECT_EQ(ResolveLink("g", "relative/base"), std::nullopt);
}

TEST(LinkResolution, FindsThePagesBase) {
    struct BaseCase {
        std::string page;
        std::string url;
        PageBaseOrigin origin;
    };
    const std::vector<BaseCase> cases = {
        {"<html><a href=x>", "", PageBaseOrigin::kNone},
        {"<head><BASE target=_top HREF='https://e.org/d/&amp;/'>", "https://e.org/d/&/",
         PageBaseOrigin::kBaseElement},
        {"<basefont href=\"https://no/\"><base href=https://yes/>", "https://yes/",
         PageBaseOrigin::kBaseElement},
        {"<!-- saved from url=(0023)https://e.org/a/b.html -->\n<html>", "https://e.org/a/b.html",
         PageBaseOrigin::kSavedFrom},
        {"<!-- saved from url=(0022)https://e.org/a/b.html -->\n<base href=\"../c/\">",
         "https://e.org/c/", PageBaseOrigin::kBaseElement},
        // A relative <base> with nothing to resolve it against names no base.
        {"<base href=\"../c/\">", "", PageBaseOrigin::kNone},
        // Other '<' before the element and a cut one at the end; the comment in upper case.
        {"a<b<<bAsE href=https://e.org/x/><bas", "https://e.org/x/", PageBaseOrigin::kBaseElement},
        {"<!-- SAVED FROM URL=(0014)https://e.org/ --><bas", "https://e.org/",
         PageBaseOrigin::kSavedFrom},
    };
    for (const BaseCase& c : cases) {
        const PageBase base = FindPageBase(c.page);
        EXPECT_EQ(base.url, c.url) << c.page;
        EXPECT_EQ(base.origin, c.origin) << c.page;
    }
    // The element at every place of a block of 16 bytes and across two, after '<' and "<b" that
    // begin none.
    for (std::size_t before = 0; before < 40; ++before) {
        std::string page;
        for (std::size_t i = 0; i < before; ++i) page += i % 3 == 0 ? 'b' : '<';
        page += "<bAsE href=https://e.org/z/>";
        EXPECT_EQ(FindPageBase(page).url, "https://e.org/z/") << page;
    }
}

TEST(TableOperations, ResolveCountsTheRelativeLinksLeftWithoutABase) {
    ResultTable table =
        TableOf({{"a", "x.html"}, {"b", "#top"}, {"c", "https://e.org/"}, {"d", "/y"}});
    EXPECT_EQ(ResolveColumn(table, 2, "").relative, 2);
    EXPECT_EQ(Cells(table)[1][2], "x.html");
    const ResolveOutcome outcome = ResolveColumn(table, 2, "https://e.org/d/p.html");
    EXPECT_EQ(outcome.resolved, 2);
    EXPECT_EQ(outcome.relative, 0);
    EXPECT_EQ(Cells(table)[1][2], "https://e.org/d/x.html");
    EXPECT_EQ(Cells(table)[2][2], "#top");
    EXPECT_EQ(Cells(table)[4][2], "https://e.org/y");
}

}  // namespace
}  // namespace lintaro
