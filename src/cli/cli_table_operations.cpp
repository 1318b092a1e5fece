// The table operations of lintaro-cli's options, applied to a file's table before any output.
#include "cli/cli_table_operations.h"

#include <optional>

#include "table/link_resolution.h"
#include "table/table_operations.h"

namespace lintaro {

namespace {

struct NamedColumns {
    const char* option;
    const std::vector<int>* columns;
};

}  // namespace

CliTableOperationsResult ApplyCliTableOperations(const TableOperationColumns& operations,
                                                 ResultTable& table, std::string_view page) {
    CliTableOperationsResult result;
    const NamedColumns all[] = {
        {"--decode-entities", &operations.decode_entities},
        {"--resolve-links", &operations.resolve_links},
        {"--trim", &operations.trim},
        {"--unique", &operations.unique},
        {"--sort", &operations.sort},
    };
    // Every column is checked before any changes, so a refused run leaves no half-made table.
    for (const NamedColumns& named : all) {
        for (const int column : *named.columns) {
            if (std::optional<std::string> problem = ColumnProblem(table, column)) {
                result.error =
                    std::string(named.option) + "=" + std::to_string(column) + ": " + *problem;
                return result;
            }
        }
    }
    for (const int column : operations.decode_entities) DecodeColumn(table, column);
    if (!operations.resolve_links.empty()) {
        const PageBase page_base = FindPageBase(page);
        const std::string& base = page_base.url.empty() ? operations.base : page_base.url;
        for (const int column : operations.resolve_links) {
            const ResolveOutcome outcome = ResolveColumn(table, column, base);
            if (outcome.relative == 0) continue;
            result.notes.push_back(
                "--resolve-links=" + std::to_string(column) + ": " +
                std::to_string(outcome.relative) + " relative links left as they are" +
                (base.empty() ? ": the page names no base; give one with --base=URL"
                              : ": they cannot be read as URI references"));
        }
    }
    for (const int column : operations.trim) TrimColumn(table, column);
    for (const int column : operations.unique) {
        const std::int64_t removed = KeepUniqueRows(table, column);
        result.notes.push_back("--unique=" + std::to_string(column) + ": removed " +
                               std::to_string(removed) + " rows, " +
                               std::to_string(table.RowCount() - table.FixedRowCount()) + " left");
    }
    CLibraryCollation collation;
    for (const int column : operations.sort) SortRows(table, column, collation);
    return result;
}

}  // namespace lintaro
