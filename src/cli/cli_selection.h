// Which cells a --format run of the batch program exports.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// The rectangle to export, like a selection made in the window: data rows and columns only.
// Without --rows / --columns it covers every data row and the columns from 1 to the last; a
// range that runs past the table's end takes the rows or columns there are, as head does. An
// empty rect has a reason: the table has no data, or a range starts past its end.
struct CliSelection {
    SelectionRect rect;
    std::string empty_reason;
};

CliSelection SelectionForExport(const CliOptions& options, const ResultTable& table);

// Warnings for a --link-column or --text-column given outside the table's columns: the export
// reads its cells as empty, as the window does.
std::vector<std::string> RoleWarnings(const CliOptions& options, const ResultTable& table);

}  // namespace lintaro
