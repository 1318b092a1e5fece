// Builds result tables from rows of cell texts for tests.
#include "support/table_builder.h"

namespace lintaro {

ResultTable MakeTable(const std::vector<std::vector<std::string>>& cells) {
    ResultTable table;
    while (table.RowCount() > 0) table.DeleteRow(table.RowCount() - 1);
    while (table.ColumnCount() > 0) table.DeleteColumn(table.ColumnCount() - 1);
    // The first insert into the empty table makes the header row and the number column.
    const std::vector<std::string>& headings = cells.front();
    for (std::size_t column = 1; column < headings.size(); ++column) {
        table.InsertColumn(headings[column], static_cast<int>(column));
    }
    for (std::size_t row = 1; row < cells.size(); ++row) {
        table.InsertRow(cells[row].front(), static_cast<int>(row));
    }
    for (std::size_t row = 0; row < cells.size(); ++row) {
        for (std::size_t column = 0; column < cells[row].size(); ++column) {
            table.SetCell(static_cast<int>(row), static_cast<int>(column), cells[row][column]);
        }
    }
    return table;
}

}  // namespace lintaro
