// The rows of several files' result tables as one table, for exporting them as one selection.
#pragma once

#include "table/result_table.h"

namespace lintaro {

// Appends the data rows of from (every row but the header) to into, numbered on from into's
// last number. Both come from the same pattern, so their columns agree; cells of columns
// into lacks are left out. Throws std::bad_alloc when the copied texts do not fit in memory.
void AppendDataRows(const ResultTable& from, ResultTable& into);

}  // namespace lintaro
