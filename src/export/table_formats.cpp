// The two table formats: a bare HTML table, and the same table inside the styled table page.
#include <string_view>

#include "base/charset.h"
#include "export/export_context.h"
#include "export/format_writers.h"
#include "export/page_templates.h"
#include "export/replace_pairs.h"

namespace lintaro {
namespace {

// Cells hold HTML source: "&" stays so that their entities still render.
constexpr ReplacePair kCellEscapePairs[] = {
    {" ", "&nbsp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"\"", "&quot;"}, {"'", "&apos;"}};

constexpr std::string_view kTableStart = "<figure><table><thead><tr>";
constexpr std::string_view kHeaderCellStart = "<th><span>";
constexpr std::string_view kHeaderCellEnd = "</span></th>\r\n";
constexpr std::string_view kHeadEnd = "</tr></thead>\r\n";
constexpr std::string_view kBodyStart = "<tbody><tr>\r\n";
constexpr std::string_view kCellStart = "<td><span>";
constexpr std::string_view kCellEnd = "</span></td>\r\n";
constexpr std::string_view kBodyEnd = "</tr></tbody>\r\n";
constexpr std::string_view kTableEnd = "</table></figure>\r\n";
constexpr std::string_view kTablePageEnd = "</div></div>\n</body>\n</html>\r\n";

// Appends the table between page_start and page_end.
void WriteTableInPage(ExportContext& context, std::string_view page_start,
                      std::string_view page_end) {
    const PairReplacer escape(kCellEscapePairs, ProgramCharacterSetKind());
    const SelectionRect& selection = context.Selection();
    std::string& out = context.Text();
    context.ReserveWhole([&] {
        const std::size_t columns = context.ColumnCount();
        const std::size_t cell_markup = kCellStart.size() + kCellEnd.size();
        return page_start.size() + page_end.size() + kTableStart.size() + kHeadEnd.size() +
               kTableEnd.size() +
               context.CellBytes(0, 0, selection.first_column, selection.last_column, &escape) +
               context.CellBytes(selection.first_row, selection.last_row, selection.first_column,
                                 selection.last_column, &escape) +
               columns * (kHeaderCellStart.size() + kHeaderCellEnd.size()) +
               context.RowCount() * (kBodyStart.size() + kBodyEnd.size() + columns * cell_markup);
    });
    out += page_start;
    out += kTableStart;
    for (int column = selection.first_column; column <= selection.last_column; ++column) {
        out += kHeaderCellStart;
        escape.AppendReplaced(out, context.Cell(0, column));
        out += kHeaderCellEnd;
    }
    out += kHeadEnd;
    context.ForEachRow([&](int row) {
        out += kBodyStart;
        for (int column = selection.first_column; column <= selection.last_column; ++column) {
            out += kCellStart;
            escape.AppendReplaced(out, context.Cell(row, column));
            out += kCellEnd;
        }
        out += kBodyEnd;
    });
    out += kTableEnd;
    out += page_end;
}

}  // namespace

void WriteHtmlTable(ExportContext& context) {
    WriteTableInPage(context, {}, {});
}

void WriteStyledTablePage(ExportContext& context) {
    WriteTableInPage(context, TablePageTemplate(), kTablePageEnd);
}

}  // namespace lintaro
