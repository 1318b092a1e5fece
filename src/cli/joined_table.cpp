// The rows of several files' result tables as one table.
#include "cli/joined_table.h"

#include <algorithm>
#include <string>

namespace lintaro {

void AppendDataRows(const ResultTable& from, ResultTable& into) {
    const int columns = std::min(from.ColumnCount(), into.ColumnCount());
    for (int row = 1; row < from.RowCount(); ++row) {
        if (!into.InsertRow(std::to_string(into.RowCount()))) return;
        const int joined_row = into.RowCount() - 1;
        for (int column = 1; column < columns; ++column) {
            into.SetCell(joined_row, column, from.GetCell(row, column).value_or(""));
        }
    }
}

}  // namespace lintaro
