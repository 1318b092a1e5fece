// The batch program's command line: what it may say and how it is read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_format.h"

namespace lintaro {

// What lintaro-cli prints on standard output.
enum class CliOutput {
    kTable,   // the result table as tab-separated lines
    kSpans,   // one line per match: number, then offset,length of the match and each group
    kCount,   // only the number of matches
    kJson,    // one JSON object per match (JSON Lines)
    kCsv,     // the result table as RFC 4180 CSV
    kExport,  // the export text of a selection, in one of the export formats
};

// Whether output prints the matches themselves, a row or a line each.
inline bool PrintsMatches(CliOutput output) {
    return output == CliOutput::kTable || output == CliOutput::kJson || output == CliOutput::kCsv ||
           output == CliOutput::kSpans;
}

// An inclusive range of table rows or columns, as "--rows 1-20" gives it.
struct IndexRange {
    int first = 0;
    int last = 0;
    friend bool operator==(const IndexRange&, const IndexRange&) = default;
};

// The table operations the command line asks for, each with its columns (table column
// numbers), applied in this order.
struct TableOperationColumns {
    std::vector<int> decode_entities;
    std::vector<int> resolve_links;
    std::vector<int> trim;
    std::vector<int> unique;
    std::vector<int> sort;
    std::string base;  // --base: the base for pages that name none; empty: none
    bool Any() const {
        return !decode_entities.empty() || !resolve_links.empty() || !trim.empty() ||
               !unique.empty() || !sort.empty();
    }
};

// What the command line asks for: a run, or only the help, the version or the named patterns.
enum class CliAction { kRun, kHelp, kVersion, kListPresets };

struct CliOptions {
    CliAction action = CliAction::kRun;
    std::string pattern;  // UTF-8; the window's preset pattern unless -e or --preset is given
    // How the pattern was given, as written ("-e x", "--preset=links"); empty for the default.
    std::string pattern_option;
    bool ignore_case = true;
    std::string encoding;  // the file's character set (an iconv name); empty: UTF-8
    CliOutput output = CliOutput::kTable;
    // The files in the order given (program text); "-" is standard input. Empty: none named,
    // which reads standard input unless it is a terminal.
    std::vector<std::string> paths;
    // Every line of the output starts with the file's path and a tab (-H, or several files).
    bool with_filename = false;
    bool header = true;  // the header line of the table and CSV outputs (--no-header: false)
    // Folders among the paths are walked (-r), following symbolic links in them too (-R); the
    // files found there are searched when their name fits an --include glob (or none is given)
    // and no --exclude glob.
    bool recursive = false;
    bool follow_links = false;
    std::vector<std::string> include_globs;
    std::vector<std::string> exclude_globs;
    bool quiet_warnings = false;  // -s: no warnings about cut texts
    // With CliOutput::kExport: the format, the selection (every data row and columns 1 to the
    // last unless given) and the column roles, which fit the preset pattern by default.
    ExportFormat format = kDefaultExportFormat;
    std::optional<IndexRange> rows;
    std::optional<IndexRange> columns;
    int link_column = 2;
    int text_column = 3;
    TableOperationColumns operations;
    bool link_column_given = false;
    bool text_column_given = false;
    std::string output_path;     // where the output goes; standard output when empty ("--output -")
    int threads = 0;             // searching threads; 0: one per processor available
    double timeout_seconds = 0;  // the run stops after this long; 0: no limit
};

// The options, or why the command line is not usable.
struct CliParseResult {
    std::optional<CliOptions> options;
    std::string error;
};

// The usage error for a second pattern, naming both as written ("-e a", "--preset=links"):
// the columns of two patterns' groups would not line up.
std::string SecondPatternError(const std::string& first, const std::string& second);

// Reads the arguments after the program's name: options and files in any order, "--" ending
// the options, "--name=value" or "--name value" for a long option, and a long name shortened
// to any start that is not ambiguous.
CliParseResult ParseCliOptions(std::span<const std::string_view> arguments);

}  // namespace lintaro
