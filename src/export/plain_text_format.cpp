// The plain text format: the selected cells as they are, a line a row.
#include <string_view>

#include "export/export_context.h"
#include "export/format_writers.h"

namespace lintaro {

void WritePlainText(ExportContext& context) {
    constexpr std::string_view kCellGap = "    ";
    const SelectionRect& selection = context.Selection();
    const bool several_columns = selection.last_column > selection.first_column;
    std::string& out = context.Text();
    context.ReserveWhole([&] {
        return context.CellBytes(selection.first_row, selection.last_row, selection.first_column,
                                 selection.last_column) +
               context.RowCount() * (context.ColumnCount() * kCellGap.size() + 2);
    });
    context.ForEachRow([&](int row) {
        if (several_columns) {
            for (int column = selection.first_column; column <= selection.last_column; ++column) {
                out += context.Cell(row, column);
                out += kCellGap;
            }
        } else {
            out += context.Cell(row, selection.first_column);
        }
        out += "\r\n";
    });
}

}  // namespace lintaro
