// The operations of the result table's column menu, as the window runs them.
#pragma once

#include <QString>

#include <string>

#include "table/result_table.h"
#include "table/result_table_view.h"

namespace lintaro {

// Applies operation to column of table and says what it did, for the notice after the count
// line ("去重：删除 2,377 行，余 77 行"). base is the base address for resolving links
// (program text; empty: none).
QString ApplyColumnOperation(ColumnOperation operation, int column, ResultTable& table,
                             const std::string& base);

}  // namespace lintaro
