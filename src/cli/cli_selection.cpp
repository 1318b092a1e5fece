// Which cells a --format run of the batch program exports.
#include "cli/cli_selection.h"

namespace lintaro {

namespace {

// The requested range checked against the data indexes 1 .. count - 1.
std::optional<IndexRange> Fit(const std::optional<IndexRange>& requested, int count,
                              const char* option, std::string& error) {
    const int last_data = count - 1;
    if (!requested) {
        if (last_data < 1) return std::nullopt;
        return IndexRange{1, last_data};
    }
    if (requested->last > last_data) {
        error = std::string(option) + " " + std::to_string(requested->first) + "-" +
                std::to_string(requested->last) + " lies outside the table, which has " +
                (last_data < 1 ? std::string("none") : "1-" + std::to_string(last_data));
        return std::nullopt;
    }
    return requested;
}

}  // namespace

CliSelection SelectionForExport(const CliOptions& options, const ResultTable& table) {
    CliSelection selection;
    const std::optional<IndexRange> rows =
        Fit(options.rows, table.RowCount(), "--rows", selection.error);
    const std::optional<IndexRange> columns =
        Fit(options.columns, table.ColumnCount(), "--columns", selection.error);
    if (rows && columns && selection.error.empty()) {
        selection.rect = {rows->first, columns->first, rows->last, columns->last};
    }
    return selection;
}

}  // namespace lintaro
