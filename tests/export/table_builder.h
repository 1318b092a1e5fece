// Builds small result tables from rows of cell texts for the export tests.
#pragma once

#include <string>
#include <vector>

#include "table/result_table.h"

namespace lintaro {

// A table with exactly these cells; cells[0] is the header row, column 0 the number column.
inline ResultTable MakeTable(const std::vector<std::vector<std::string>>& cells) {
    ResultTable table;
    const int rows = static_cast<int>(cells.size());
    const int columns = static_cast<int>(cells.front().size());
    while (table.ColumnCount() > columns) table.DeleteColumn(table.ColumnCount() - 1);
    while (table.ColumnCount() < columns) table.InsertColumn("");
    while (table.RowCount() > rows) table.DeleteRow(table.RowCount() - 1);
    while (table.RowCount() < rows) table.InsertRow("");
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            table.SetCell(row, column,
                          cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
        }
    }
    return table;
}

}  // namespace lintaro
