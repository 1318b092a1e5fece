// Opens the two exported pages in headless Chromium and reads the cells back from the page.
#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "export/export_text.h"
#include "support/program_run.h"
#include "support/table_builder.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

bool ChromiumInstalled() {
    return !FindOnPath("chromium").empty();
}

// The page's DOM after loading, as Chromium serializes it. Names resolve to nothing, so the
// page's web-font link fails at once instead of waiting on the network.
std::string DumpDom(const TempDir& dir, const std::string& page) {
    const ProgramOutcome outcome = RunProgram({
        .program = "chromium",
        .arguments = {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                      "--no-first-run", "--disable-background-networking",
                      "--disable-component-update", "--disable-sync",
                      "--host-resolver-rules=MAP * ~NOTFOUND",
                      "--user-data-dir=" + dir.Slash() + "profile-" + page, "--dump-dom",
                      "file://" + dir.Slash() + page},
        .time_limit = std::chrono::seconds(120),
    });
    return outcome.out;
}

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
    std::string ExportAndLoad(ExportFormat format, const ColumnRoles& roles,
                              const std::string& page) {
        std::ofstream(dir_.Slash() + page, std::ios::binary)
            << BuildExportText(format, table_, {1, 1, 3, 3}, roles);
        return DumpDom(dir_, page);
    }

    TempDir dir_;
    const ResultTable table_ = MakeTable(kCells);
};

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
