// Builds result tables from rows of cell texts for tests.
#pragma once

#include <string>
#include <vector>

#include "table/result_table.h"

namespace lintaro {

// A table with exactly these cells, built as a match run builds one: cells[0] is the header
// row and column 0 the number column, the fixed row and column. Row heights, column widths
// and the background are those such a build leaves.
ResultTable MakeTable(const std::vector<std::vector<std::string>>& cells);

}  // namespace lintaro
