// Whole export texts of the export formats over a small table.
#include "export/export_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "base/error.h"
#include "export/page_templates.h"
#include "support/table_builder.h"

namespace lintaro {
namespace {

const ResultTable& SampleTable() {
    static const ResultTable table = MakeTable({
        {"", "匹配文本", "子表达式匹配1", "子表达式匹配2"},
        {"1", "<A HREF=\"http://a.com/x\">Home</A>", "http://a.com", "Home"},
        {"2", "m2", "https://b.org/it's", "a & b"},
        {"3", "", "", ""},
        {"4", "<b>x</b>", "say \"hi\"", "it's"},
    });
    return table;
}

ColumnRoles Roles(int link_column, int text_column) {
    ColumnRoles roles;
    roles.ChooseLinkColumn(0, link_column);
    roles.ChooseTextColumn(0, text_column);
    return roles;
}

std::string LinkPage(const std::string& rows) {
    return LinksPageTemplate() + rows + "</TEXT></div></div>\n</body>\n</html>\r\n";
}

std::string LinkRow(const std::string& text, const std::string& href, const std::string& link) {
    return "<p><b>[&nbsp&nbsp</b><b class=\"btext\">" + text +
           "</b><b>&nbsp&nbsp]：&nbsp</b><a href=\"" + href + "\">" + link + "</a></p>\r\n";
}

struct ExportTextCase {
    const char* name;
    ExportFormat format;
    SelectionRect selection;  // first row, first column, last row, last column
    int link_column;
    int text_column;
    std::string expected;
};

class ExportTextTest : public testing::TestWithParam<ExportTextCase> {};

TEST_P(ExportTextTest, BuildsWholeText) {
    const ExportTextCase& c = GetParam();
    EXPECT_EQ(
        BuildExportText(c.format, SampleTable(), c.selection, Roles(c.link_column, c.text_column)),
        c.expected);
}

const std::string kOneCellTable =
    "<figure><table><thead><tr><th><span>子表达式匹配2</span></th>\r\n"
    "</tr></thead>\r\n"
    "<tbody><tr>\r\n"
    "<td><span>a&nbsp;&&nbsp;b</span></td>\r\n"
    "</tr></tbody>\r\n"
    "</table></figure>\r\n";

const std::string kMarkupTable =
    "<figure><table><thead><tr><th><span>匹配文本</span></th>\r\n"
    "<th><span>子表达式匹配1</span></th>\r\n"
    "<th><span>子表达式匹配2</span></th>\r\n"
    "</tr></thead>\r\n"
    "<tbody><tr>\r\n"
    "<td><span></span></td>\r\n"
    "<td><span></span></td>\r\n"
    "<td><span></span></td>\r\n"
    "</tr></tbody>\r\n"
    "<tbody><tr>\r\n"
    "<td><span>&lt;b&gt;x&lt;/b&gt;</span></td>\r\n"
    "<td><span>say&nbsp;&quot;hi&quot;</span></td>\r\n"
    "<td><span>it&apos;s</span></td>\r\n"
    "</tr></tbody>\r\n"
    "</table></figure>\r\n";

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportTextTest,
    testing::Values(
        ExportTextCase{
            "PlainTextOneCell", ExportFormat::PlainText, {1, 2, 1, 2}, 0, 0, "http://a.com\r\n"},
        ExportTextCase{"PlainTextOneColumnHasNoGaps",
                       ExportFormat::PlainText,
                       {1, 3, 3, 3},
                       0,
                       0,
                       "Home\r\na & b\r\n\r\n"},
        ExportTextCase{"PlainTextSeveralColumnsEndInGaps",
                       ExportFormat::PlainText,
                       {2, 2, 4, 3},
                       0,
                       0,
                       "https://b.org/it's    a & b    \r\n"
                       "        \r\n"
                       "say \"hi\"    it's    \r\n"},
        ExportTextCase{"LinkListQuotesOnlyTheHref",
                       ExportFormat::LinkList,
                       {1, 1, 4, 1},
                       2,
                       3,
                       "<a href=\"http://a.com\">Home</a><br/>\r\n"
                       "<a href=\"https://b.org/it's\">a & b</a><br/>\r\n"
                       "<a href=\"\"></a><br/>\r\n"
                       "<a href=\"say &quot;hi&quot;\">it's</a><br/>\r\n"},
        ExportTextCase{"LinkListEscapesMarkupOfTextAndHref",
                       ExportFormat::LinkList,
                       {4, 3, 4, 3},
                       1,
                       1,
                       "<a href=\"&lt;b&gt;x&lt;/b&gt;\">&lt;b&gt;x&lt;/b&gt;</a><br/>\r\n"},
        ExportTextCase{"LinkListLinkEqualsText",
                       ExportFormat::LinkList,
                       {1, 1, 1, 1},
                       3,
                       3,
                       "<a href=\"Home\">Home</a><br/>\r\n"},
        ExportTextCase{"LinkListColumnsBeyondTableReadEmpty",
                       ExportFormat::LinkList,
                       {1, 1, 2, 1},
                       9,
                       3,
                       "<a href=\"\">Home</a><br/>\r\n<a href=\"\">a & b</a><br/>\r\n"},
        ExportTextCase{
            "StyledLinkPageRows",
            ExportFormat::StyledLinkPage,
            {1, 1, 4, 1},
            2,
            3,
            LinkPage(LinkRow("Home", "http://a.com", "http://a.com") +
                     LinkRow("a & b", "https://b.org/it's", "https://b.org/it's") +
                     LinkRow("", "", "") + LinkRow("it's", "say &quot;hi&quot;", "say \"hi\""))},
        ExportTextCase{"StyledLinkPageEscapesMarkupOfTextAndLink",
                       ExportFormat::StyledLinkPage,
                       {4, 2, 4, 3},
                       1,
                       1,
                       LinkPage(LinkRow("&lt;b&gt;x&lt;/b&gt;", "&lt;b&gt;x&lt;/b&gt;",
                                        "&lt;b&gt;x&lt;/b&gt;"))},
        ExportTextCase{"StyledLinkPageTextBeyondTable",
                       ExportFormat::StyledLinkPage,
                       {1, 1, 1, 1},
                       2,
                       7,
                       LinkPage(LinkRow("", "http://a.com", "http://a.com"))},
        ExportTextCase{
            "HtmlTableOneCell", ExportFormat::HtmlTable, {2, 3, 2, 3}, 0, 0, kOneCellTable},
        ExportTextCase{
            "HtmlTableEscapesEveryCell", ExportFormat::HtmlTable, {3, 1, 4, 3}, 0, 0, kMarkupTable},
        ExportTextCase{"StyledTablePage",
                       ExportFormat::StyledTablePage,
                       {3, 1, 4, 3},
                       0,
                       0,
                       TablePageTemplate() + kMarkupTable + "</div></div>\n</body>\n</html>\r\n"}),
    [](const testing::TestParamInfo<ExportTextCase>& row) { return row.param.name; });

// Enough rows that a file's text takes several blocks.
const ResultTable& LargeTable() {
    static const ResultTable table = [] {
        std::vector<std::vector<std::string>> cells = {
            {"", "匹配文本", "子表达式匹配1", "子表达式匹配2"}};
        for (int i = 1; i <= 40'000; ++i) {
            const std::string n = std::to_string(i);
            cells.push_back({n, "<A HREF=\"http://a.com/" + n + "\">中文 " + n + "</A>",
                             "http://a.com/" + n, "中文 & \"" + n + "\""});
        }
        return MakeTable(cells);
    }();
    return table;
}

// A file's text goes out in blocks that each end with a row; together they are the whole text.
TEST(ExportSinkTest, BlocksMakeTheWholeText) {
    const SelectionRect selection{1, 1, LargeTable().RowCount() - 1, 3};
    for (const ExportFormatInfo& info : kExportFormats) {
        SCOPED_TRACE(info.cli_name);
        const ExportFormat format = info.format;
        std::vector<std::string> blocks;
        ExportSink sink([&blocks](std::string_view bytes) {
            blocks.emplace_back(bytes);
            return std::error_code();
        });
        WriteExportText(format, LargeTable(), selection, Roles(2, 3), sink);
        ASSERT_GT(blocks.size(), 1u);
        std::string joined;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (i + 1 < blocks.size()) {
                EXPECT_TRUE(blocks[i].ends_with("\r\n"));
            }
            joined += blocks[i];
        }
        EXPECT_EQ(joined, BuildExportText(format, LargeTable(), selection, Roles(2, 3)));
    }
}

// A write that fails ends the text there: nothing more is built or written.
TEST(ExportSinkTest, AFailedWriteStopsTheText) {
    int writes = 0;
    ExportSink sink([&writes](std::string_view) {
        ++writes;
        return SystemError(ENOSPC);
    });
    WorkProgress progress;
    WriteExportText(ExportFormat::PlainText, LargeTable(), {1, 1, LargeTable().RowCount() - 1, 3},
                    Roles(2, 3), sink, &progress);
    EXPECT_EQ(sink.Error(), SystemError(ENOSPC));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(sink.Text(), "");
}

}  // namespace
}  // namespace lintaro
