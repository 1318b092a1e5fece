// Which cells a --format run of the batch program exports.
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// The rectangle to export, like a selection made in the window: data rows and columns only.
// Without --rows / --columns it covers every data row and the columns from 1 to the last.
// An empty rect with no error means the table has nothing to export; an error means the
// requested rows or columns lie outside the table.
struct CliSelection {
    SelectionRect rect;
    std::string error;
};

CliSelection SelectionForExport(const CliOptions& options, const ResultTable& table);

}  // namespace lintaro
