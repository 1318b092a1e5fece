// The table operations of lintaro-cli's options, applied to a file's table before any output
// reads it: every output that writes the table writes the table they leave.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "table/result_table.h"

namespace lintaro {

struct CliTableOperationsResult {
    // A column outside the table ("--unique=7: column 7 is outside the table: ..."): nothing
    // was changed, and the run is a usage error.
    std::string error;
    // What the user is told: rows removed, relative links left as they are.
    std::vector<std::string> notes;
};

// Applies operations to table in their order (decode, resolve, trim, unique, sort; each option's
// columns in the order given). page is the searched text, where the page's own base is looked
// for before operations.base.
CliTableOperationsResult ApplyCliTableOperations(const TableOperationColumns& operations,
                                                 ResultTable& table, std::string_view page);

}  // namespace lintaro
