// The batch program's command line: what it may say and how it is read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "export/export_format.h"

namespace lintaro {

// What lintaro-cli prints on standard output.
enum class CliOutput {
    kTable,   // the result table as tab-separated lines
    kSpans,   // one line per match: number, then offset,length of the match and each group
    kCount,   // only the count line
    kExport,  // the export text of a selection, in one of the five formats
};

// An inclusive range of table rows or columns, as "--rows 1-20" gives it.
struct IndexRange {
    int first = 0;
    int last = 0;
    friend bool operator==(const IndexRange&, const IndexRange&) = default;
};

struct CliOptions {
    std::string pattern;  // UTF-8; the window's preset pattern unless -e is given
    bool ignore_case = true;
    std::string encoding;  // the file's character set (an iconv name); empty: UTF-8
    CliOutput output = CliOutput::kTable;
    std::string path;  // program text
    // With CliOutput::kExport: the format, the selection (every data row and columns 1 to the
    // last unless given) and the column roles, which fit the preset pattern by default.
    ExportFormat format = ExportFormat::PlainText;
    std::optional<IndexRange> rows;
    std::optional<IndexRange> columns;
    int link_column = 2;
    int text_column = 3;
    std::string output_path;  // where the output goes; standard output when empty
    int threads = 0;          // searching threads; 0: one per processor available
    double timeout_seconds = 0;  // the run stops after this long; 0: no limit
};

// The options, or why the command line is not usable.
struct CliParseResult {
    std::optional<CliOptions> options;
    std::string error;
};

// Reads the arguments after the program's name.
CliParseResult ParseCliOptions(std::span<const std::string_view> arguments);

// The one-line synopsis shown with a usage error.
inline constexpr const char* kCliUsage =
    "usage: lintaro-cli [-e PATTERN | --pattern PATTERN] [-i | --ignore-case | --case-sensitive] "
    "[--spans | --count | --format FORMAT [--rows R1-R2] [--columns C1-C2] [--link-column N] "
    "[--text-column N]] [--encoding NAME] [--output FILE] [--threads N] [--timeout SECONDS] FILE\n"
    "FORMAT: text, links, styled-links, table or styled-table";

}  // namespace lintaro
