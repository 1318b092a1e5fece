// Fuzz target: every export format over a fuzzed table, selection and column roles, checked
// against the formats written out plainly.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "base/program_text.h"
#include "export/export_text.h"
#include "export/page_templates.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace lintaro {
namespace {

constexpr int kMaxRows = 8;
constexpr int kMaxColumns = 6;

std::string Cell(const ResultTable& table, int row, int column) {
    return std::string(table.GetCell(row, column).value_or(""));
}

// Where a cell goes: a table cell escapes every character that markup gives a meaning, a link
// format's href only '"', "<" and ">", its visible text "<" and ">". "&" always stays.
enum class Place { kTableCell, kHref, kLinkText };

std::string Escaped(std::string_view text, Place place) {
    const bool table_cell = place == Place::kTableCell;
    std::string out;
    for (char c : text) {
        switch (c) {
            case '"':
                out += place == Place::kLinkText ? "\"" : "&quot;";
                break;
            case ' ':
                out += table_cell ? "&nbsp;" : " ";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\'':
                out += table_cell ? "&apos;" : "'";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string HtmlTable(const ResultTable& table, const SelectionRect& s) {
    std::string out = "<figure><table><thead><tr>";
    for (int c = s.first_column; c <= s.last_column; ++c) {
        out += "<th><span>" + Escaped(Cell(table, 0, c), Place::kTableCell) + "</span></th>\r\n";
    }
    out += "</tr></thead>\r\n";
    for (int r = s.first_row; r <= s.last_row; ++r) {
        out += "<tbody><tr>\r\n";
        for (int c = s.first_column; c <= s.last_column; ++c) {
            out +=
                "<td><span>" + Escaped(Cell(table, r, c), Place::kTableCell) + "</span></td>\r\n";
        }
        out += "</tr></tbody>\r\n";
    }
    return out + "</table></figure>\r\n";
}

// Each format written out plainly, from the same inputs as the export: the table, the selection
// and the link and text columns.
using Reference = std::string (*)(const ResultTable& table, const SelectionRect& s, int link,
                                  int text);

std::string StyledLinkPage(const ResultTable& table, const SelectionRect& s, int link, int text) {
    std::string out = LinksPageTemplate();
    for (int r = s.first_row; r <= s.last_row; ++r) {
        out += Utf8ToProgramText("<p><b>[&nbsp&nbsp</b><b class=\"btext\">") +
               Escaped(Cell(table, r, text), Place::kLinkText) +
               Utf8ToProgramText("</b><b>&nbsp&nbsp]：&nbsp</b><a href=\"") +
               Escaped(Cell(table, r, link), Place::kHref) + "\">" +
               Escaped(Cell(table, r, link), Place::kLinkText) + "</a></p>\r\n";
    }
    return out + "</TEXT></div></div>\n</body>\n</html>\r\n";
}

std::string LinkList(const ResultTable& table, const SelectionRect& s, int link, int text) {
    std::string out;
    for (int r = s.first_row; r <= s.last_row; ++r) {
        out += "<a href=\"" + Escaped(Cell(table, r, link), Place::kHref) + "\">" +
               Escaped(Cell(table, r, text), Place::kLinkText) + "</a><br/>\r\n";
    }
    return out;
}

std::string PlainText(const ResultTable& table, const SelectionRect& s, int /*link*/,
                      int /*text*/) {
    std::string out;
    for (int r = s.first_row; r <= s.last_row; ++r) {
        if (s.first_column == s.last_column) {
            out += Cell(table, r, s.first_column);
        } else {
            for (int c = s.first_column; c <= s.last_column; ++c) out += Cell(table, r, c) + "    ";
        }
        out += "\r\n";
    }
    return out;
}

std::string BareHtmlTable(const ResultTable& table, const SelectionRect& s, int /*link*/,
                          int /*text*/) {
    return HtmlTable(table, s);
}

std::string StyledTablePage(const ResultTable& table, const SelectionRect& s, int /*link*/,
                            int /*text*/) {
    return TablePageTemplate() + HtmlTable(table, s) + "</div></div>\n</body>\n</html>\r\n";
}

// A format added to the format list needs its plain version here too.
constexpr std::pair<ExportFormat, Reference> kReferences[] = {
    {ExportFormat::StyledLinkPage, StyledLinkPage},
    {ExportFormat::LinkList, LinkList},
    {ExportFormat::PlainText, PlainText},
    {ExportFormat::HtmlTable, BareHtmlTable},
    {ExportFormat::StyledTablePage, StyledTablePage},
};

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    const int last_format = static_cast<int>(std::size(kExportFormats)) - 1;
    const ExportFormat format = kExportFormats[input.TakeInt(0, last_format)].format;
    const int rows = input.TakeInt(1, kMaxRows);
    const int columns = input.TakeInt(1, kMaxColumns);
    ResultTable table;
    while (table.RowCount() < rows) table.InsertRow("");
    while (table.RowCount() > rows) table.DeleteRow(table.RowCount() - 1);
    while (table.ColumnCount() < columns) table.InsertColumn("");
    while (table.ColumnCount() > columns) table.DeleteColumn(table.ColumnCount() - 1);

    // The selection and the roles may reach past the table: such cells read as empty.
    SelectionRect selection;
    selection.first_row = input.TakeInt(0, kMaxRows + 1);
    selection.last_row = selection.first_row + input.TakeInt(0, 3);
    selection.first_column = input.TakeInt(0, kMaxColumns + 1);
    selection.last_column = selection.first_column + input.TakeInt(0, 3);
    ColumnRoles roles;
    roles.ChooseLinkColumn(0, input.TakeInt(0, kMaxColumns + 1));
    roles.ChooseTextColumn(0, input.TakeInt(0, kMaxColumns + 1));
    for (int row = 0; row < rows && !input.Empty(); ++row) {
        for (int column = 0; column < columns; ++column)
            table.SetCell(row, column, input.TakeText(24));
    }

    const std::string text = BuildExportText(format, table, selection, roles);
    const auto* reference =
        std::ranges::find(kReferences, format, &std::pair<ExportFormat, Reference>::first);
    FuzzCheck(reference != std::end(kReferences), "every format is written out plainly here");
    // Written plainly for UTF-8, where every ASCII byte starts a character of its own.
    if (ProgramCharsetIsUtf8()) {
        FuzzCheck(
            text == reference->second(table, selection, roles.LinkColumn(), roles.TextColumn()),
            "the export text is the format's text");
    }
    return 0;
}
