// Tests of the tab-separated text that Ctrl+C puts on the clipboard.
#include "table/tab_separated_text.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

TEST(TabSeparatedText, OneLinePerRowWithCellsQuotedWhenNeeded) {
    ResultTable table;  // 5 x 5
    table.SetCell(1, 1, "plain");
    table.SetCell(1, 2, "two\tcells?");
    table.SetCell(2, 1, "line\r\nbreak");
    table.SetCell(2, 2, "say \"hi\"");
    table.SetCell(3, 3, "中文");
    table.SetCell(4, 4, "<A HREF=\"http://a.cn/\">首页</A>");
    table.SetCell(4, 3, "\"quoted\tand tab\"");
    const struct {
        const char* name;
        SelectionRect rect;
        const char* text;
    } cases[] = {
        {"nothing selected", {}, ""},
        {"one cell", {3, 3, 3, 3}, "中文"},
        {"one cell with a line break copies exactly", {2, 1, 2, 1}, "line\r\nbreak"},
        {"empty cells", {3, 1, 4, 2}, "\t\n\t\n"},
        {"quoted cells", {1, 1, 2, 2}, "plain\t\"two\tcells?\"\n\"line\r\nbreak\"\tsay \"hi\"\n"},
        {"one cell with quotes copies exactly", {4, 4, 4, 4}, "<A HREF=\"http://a.cn/\">首页</A>"},
        {"quotes doubled only in a quoted cell",
         {4, 3, 4, 4},
         "\"\"\"quoted\tand tab\"\"\"\t<A HREF=\"http://a.cn/\">首页</A>\n"},
        {"fixed cells included when asked", {0, 0, 0, 1}, "\t\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(TabSeparatedText(table, c.rect), c.text) << c.name;
}

}  // namespace
}  // namespace lintaro
