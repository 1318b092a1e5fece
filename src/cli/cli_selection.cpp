// Which cells a --format run of the batch program exports.
#include "cli/cli_selection.h"

#include <algorithm>
#include <optional>

namespace lintaro {

namespace {

// The requested range within the data indexes 1 .. count - 1; none when nothing of it is there.
std::optional<IndexRange> Fit(const std::optional<IndexRange>& requested, int count,
                              const char* option, std::string& empty_reason) {
    const int last_data = count - 1;
    if (last_data < 1) {
        empty_reason = "nothing to export: no match was found";
        return std::nullopt;
    }
    if (!requested) return IndexRange{1, last_data};
    if (requested->first > last_data) {
        empty_reason = std::string("nothing to export: ") + option + " " +
                       std::to_string(requested->first) + "-" + std::to_string(requested->last) +
                       " starts past the table's last, " + std::to_string(last_data);
        return std::nullopt;
    }
    return IndexRange{requested->first, std::min(requested->last, last_data)};
}

}  // namespace

CliSelection SelectionForExport(const CliOptions& options, const ResultTable& table) {
    CliSelection selection;
    const std::optional<IndexRange> rows =
        Fit(options.rows, table.RowCount(), "--rows", selection.empty_reason);
    if (!rows) return selection;
    const std::optional<IndexRange> columns =
        Fit(options.columns, table.ColumnCount(), "--columns", selection.empty_reason);
    if (columns) selection.rect = {rows->first, columns->first, rows->last, columns->last};
    return selection;
}

std::vector<std::string> RoleWarnings(const CliOptions& options, const ResultTable& table) {
    std::vector<std::string> warnings;
    const int last = table.ColumnCount() - 1;
    const auto check = [&](const char* option, bool given, int column) {
        if (!given || column <= last) return;
        warnings.push_back(std::string("warning: ") + option + " " + std::to_string(column) +
                           " lies outside the table, whose columns are 0-" + std::to_string(last) +
                           "; its cells read as empty");
    };
    check("--link-column", options.link_column_given, options.link_column);
    check("--text-column", options.text_column_given, options.text_column);
    return warnings;
}

}  // namespace lintaro
