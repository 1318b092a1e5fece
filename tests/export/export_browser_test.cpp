// Opens the two exported pages in headless Chromium and reads the cells back from the page.
#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "export/export_format.h"
#include "export/export_text.h"
#include "support/chromium_dom.h"
#include "support/table_builder.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

// Undoes the escaping of Chromium's serializer; a no-break space becomes a plain space when
// asked, because the table formats write spaces as "&nbsp;".
std::string Unescape(const std::string& serialized, bool nbsp_as_space) {
    static const std::array<std::pair<std::string_view, std::string_view>, 5> kEntities = {
        {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", "\xC2\xA0"}}};
    std::string text;
    for (std::size_t pos = 0; pos < serialized.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (serialized.compare(pos, entity.size(), entity) == 0) {
                text += nbsp_as_space && entity == "&nbsp;" ? " " : character;
                pos += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) text += serialized[pos++];
    }
    return text;
}

// The unescaped text between each open and the close that follows it.
std::vector<std::string> Between(const std::string& dom, std::string_view open,
                                 std::string_view close, bool nbsp_as_space) {
    std::vector<std::string> texts;
    for (auto start = dom.find(open); start != std::string::npos; start = dom.find(open, start)) {
        start += open.size();
        const auto end = dom.find(close, start);
        if (end == std::string::npos) break;
        texts.push_back(Unescape(dom.substr(start, end - start), nbsp_as_space));
        start = end + close.size();
    }
    return texts;
}

const std::vector<std::vector<std::string>> kCells = {
    {"", "链接", "文本 text", "说明's"},
    {"1", "https://example.com/a b/it's?q=\"x\"&y=1", "Tom's  page", "<b>x</b>"},
    {"2", "http://b.org/", " lead and trail ", "a & b"},
    {"3", "/relative path", "中文 text", "say \"hi\" 'ok'"},
};

class ExportBrowserTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!ChromiumInstalled()) GTEST_SKIP() << "chromium is not installed";
    }
    // Writes the export file's text (what the window writes) and loads it.
    std::string ExportAndLoad(ExportFormat format, const ColumnRoles& roles,
                              const std::string& page, const ResultTable& table) {
        std::ofstream(dir_.Slash() + page, std::ios::binary)
            << FormatInfo(format).file_start
            << BuildExportText(format, table, {1, 1, table.RowCount() - 1, 3}, roles);
        return DumpDom(dir_, page).out;
    }
    std::string ExportAndLoad(ExportFormat format, const ColumnRoles& roles,
                              const std::string& page) {
        return ExportAndLoad(format, roles, page, table_);
    }

    TempDir dir_;
    const ResultTable table_ = MakeTable(kCells);
};

// Link and text cells as a harvested page may hold them: markup that would run, a stray "<"
// that would swallow the rows after it, and an entity.
const std::vector<std::vector<std::string>> kHostileCells = {
    {"", "链接", "文本"},
    {"1", "https://evil.example\"><img src=x onerror=\"document.title='img'\">",
     "<script>document.title='script'</script>"},
    {"2", "<img src=x onerror=alert(1)>", "a < b, <b>bold</b> &amp; <i"},
    {"3", "http://ok.example/", "after"},
};

TEST_F(ExportBrowserTest, LinkFormatsShowMarkupOfCellsAsText) {
    ColumnRoles roles;
    roles.ChooseLinkColumn(0, 1);
    roles.ChooseTextColumn(0, 2);
    const ResultTable table = MakeTable(kHostileCells);
    for (const auto& [format, page] : {std::pair{ExportFormat::StyledLinkPage, "styled.html"},
                                       std::pair{ExportFormat::LinkList, "list.html"}}) {
        const std::string dom = ExportAndLoad(format, roles, page, table);
        // No element or attribute of a cell reached the page: every anchor is one of the rows,
        // and no script of a cell gave the page a title.
        for (const char* element : {"<img", "<script", "<i>", "<i ", "<b>bold"}) {
            EXPECT_EQ(dom.find(element), std::string::npos) << page << ": " << element << "\n"
                                                            << dom;
        }
        for (const char* title : {"<title>img", "<title>script"}) {
            EXPECT_EQ(dom.find(title), std::string::npos) << page << "\n" << dom;
        }
        const auto anchors = Between(dom, "<a href=\"", "</a>", false);
        ASSERT_EQ(anchors.size(), 3u) << page << "\n" << dom;
        // "&amp;" in a cell is an entity the page shows as "&".
        const std::string second_text = "a < b, <b>bold</b> & <i";
        if (format == ExportFormat::LinkList) {
            EXPECT_EQ(anchors[0], kHostileCells[1][1] + "\">" + kHostileCells[1][2]);
            EXPECT_EQ(anchors[1], kHostileCells[2][1] + "\">" + second_text);
            EXPECT_EQ(anchors[2], "http://ok.example/\">after");
        } else {
            const auto texts = Between(dom, "<b class=\"btext\">", "</b>", false);
            ASSERT_EQ(texts.size(), 3u) << dom;
            EXPECT_EQ(texts, (std::vector<std::string>{kHostileCells[1][2], second_text, "after"}));
            for (std::size_t row = 1; row <= 3; ++row) {
                EXPECT_EQ(anchors[row - 1], kHostileCells[row][1] + "\">" + kHostileCells[row][1]);
            }
        }
    }
}

// The two pages without a template declare UTF-8: their Chinese reads right whatever the
// browser would guess (this Chromium guesses right, others took a page for windows-1252).
TEST_F(ExportBrowserTest, LinkListAndTableReadAsUtf8) {
    ColumnRoles roles;
    roles.ChooseLinkColumn(0, 1);
    roles.ChooseTextColumn(0, 2);
    const ResultTable table = MakeTable(
        {{"", "链接", "文本", "说明"}, {"1", "http://a.cn/", "中文链接文本", "表格里的中文"}});
    const auto anchors = Between(ExportAndLoad(ExportFormat::LinkList, roles, "list.html", table),
                                 "<a href=\"", "</a>", false);
    EXPECT_EQ(anchors, (std::vector<std::string>{"http://a.cn/\">中文链接文本"}));
    const auto cells = Between(ExportAndLoad(ExportFormat::HtmlTable, roles, "table.html", table),
                               "<td><span>", "</span></td>", true);
    EXPECT_EQ(cells, (std::vector<std::string>{"http://a.cn/", "中文链接文本", "表格里的中文"}));
}

TEST_F(ExportBrowserTest, LinkPageShowsLinksAndTextsAsInTheCells) {
    ColumnRoles roles;
    roles.ChooseLinkColumn(0, 1);
    roles.ChooseTextColumn(0, 2);
    const std::string dom = ExportAndLoad(ExportFormat::StyledLinkPage, roles, "links.html");
    // The serializer writes '"' in attribute values as "&quot;", so the first "\">" ends the
    // href.
    const auto anchors = Between(dom, "<a href=\"", "</a>", false);
    const auto texts = Between(dom, "<b class=\"btext\">", "</b>", false);
    ASSERT_EQ(anchors.size(), 3u) << dom;
    ASSERT_EQ(texts.size(), 3u) << dom;
    for (std::size_t row = 1; row <= 3; ++row) {
        EXPECT_EQ(anchors[row - 1], kCells[row][1] + "\">" + kCells[row][1]);
        EXPECT_EQ(texts[row - 1], kCells[row][2]);
    }
}

TEST_F(ExportBrowserTest, TablePageShowsTheCellTexts) {
    const std::string dom =
        ExportAndLoad(ExportFormat::StyledTablePage, ColumnRoles(), "table.html");
    const auto headers = Between(dom, "<th><span>", "</span></th>", true);
    const auto cells = Between(dom, "<td><span>", "</span></td>", true);
    ASSERT_EQ(headers.size(), 3u) << dom;
    ASSERT_EQ(cells.size(), 9u) << dom;
    for (std::size_t column = 1; column <= 3; ++column) {
        EXPECT_EQ(headers[column - 1], kCells[0][column]);
        for (std::size_t row = 1; row <= 3; ++row) {
            EXPECT_EQ(cells[(row - 1) * 3 + column - 1], kCells[row][column]);
        }
    }
}

}  // namespace
}  // namespace lintaro
