// The one table of lintaro-cli's options and the help, version and usage texts made from it.
#include "cli/cli_option_table.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "export/export_format.h"
#include "match/match_run.h"
#include "match/named_patterns.h"

namespace lintaro {

namespace {

using Id = CliOptionId;

// clang-format off
constexpr CliOptionSpec kOptions[] = {
    {Id::kPattern, "pattern", 'e', "PATTERN", "the regular expression (default: HTML links)"},
    {Id::kPreset, "preset", 0, "NAME", "use the named pattern NAME instead (see --list-presets)"},
    {Id::kListPresets, "list-presets", 0, nullptr, "print each named pattern: name, description, pattern"},
    {Id::kIgnoreCase, "ignore-case", 'i', nullptr, "ignore letter case (the default)"},
    {Id::kCaseSensitive, "case-sensitive", 0, nullptr, "do not ignore letter case"},
    {Id::kWithFilename, "with-filename", 'H', nullptr, "start each line with the file's path and a tab"},
    {Id::kSpans, "spans", 0, nullptr, "print offset,length of each match and group"},
    {Id::kCount, "count", 'c', nullptr, "print only the number of matches"},
    {Id::kJson, "json", 0, nullptr, "print one JSON object per match (JSON Lines)"},
    {Id::kCsv, "csv", 0, nullptr, "print the table as CSV (RFC 4180)"},
    {Id::kNoHeader, "no-header", 0, nullptr, "leave out the header line of the table and CSV"},
    {Id::kFormat, "format", 0, "FORMAT", "print the export text of the selected cells"},
    {Id::kRows, "rows", 0, "R1-R2", "the rows to export, from 1 (default: all)"},
    {Id::kColumns, "columns", 0, "C1-C2", "the columns to print, from 1 (default: 1 to last)"},
    {Id::kLinkColumn, "link-column", 0, "N", "the links' column in the link formats (default: 2)"},
    {Id::kTextColumn, "text-column", 0, "N", "the texts' column in the link formats (default: 3)"},
    {Id::kEncoding, "encoding", 0, "NAME", "read the files in the character set NAME (iconv's), or auto"},
    {Id::kDecodeEntities, "decode-entities", 0, "COL", "decode character references in column COL"},
    {Id::kResolveLinks, "resolve-links", 0, "COL", "make the relative links in column COL absolute"},
    {Id::kBase, "base", 0, "URL", "resolve against URL when the page names no base"},
    {Id::kTrim, "trim", 0, "COL", "trim the white space in column COL"},
    {Id::kUnique, "unique", 0, "COL", "keep the first row with each text of column COL"},
    {Id::kSort, "sort", 0, "COL", "sort the rows by column COL"},
    {Id::kOutput, "output", 0, "FILE", "write to FILE (- for standard output)"},
    {Id::kRecursive, "recursive", 'r', nullptr, "search the files in folders (default: .)"},
    {Id::kDereferenceRecursive, "dereference-recursive", 'R', nullptr,
     "like -r, following symbolic links"},
    {Id::kInclude, "include", 0, "GLOB", "in folders, search only files whose name fits GLOB"},
    {Id::kExclude, "exclude", 0, "GLOB", "in folders, skip files whose name fits GLOB"},
    {Id::kNoMessages, "no-messages", 's', nullptr, "say nothing about cut texts"},
    {Id::kThreads, "threads", 0, "N", "search with N threads (default: one per processor)"},
    {Id::kTimeout, "timeout", 0, "SECONDS",
     "stop a search after SECONDS, print what was found and exit 2"},
    {Id::kHelp, "help", 'h', nullptr, "print this help and exit"},
    {Id::kVersion, "version", 'V', nullptr, "print the version and exit"},
};
// clang-format on

// The help lines start their text in this column, as GNU programs' do.
constexpr std::size_t kHelpColumn = 28;
// The help's paragraphs fit a terminal 80 characters wide.
constexpr std::size_t kHelpWidth = 79;

std::string OptionLine(const CliOptionSpec& option) {
    std::string line = option.short_name != 0 ? std::string("  -") + option.short_name + ", "
                                              : std::string(6, ' ');
    line += "--";
    line += option.long_name;
    if (option.value_name != nullptr) {
        line += '=';
        line += option.value_name;
    }
    line += line.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - line.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    line += option.help;
    line += '\n';
    return line;
}

// text's words, which single spaces part, filled into lines of at most kHelpWidth characters.
std::string FilledParagraph(std::string_view text) {
    std::string filled;
    std::size_t line_length = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        if (line_length > 0) {
            const bool fits = line_length + 1 + word.size() <= kHelpWidth;
            filled += fits ? ' ' : '\n';
            line_length = fits ? line_length + 1 : 0;
        }
        filled += word;
        line_length += word.size();
        start = end + 1;
    }
    return filled + '\n';
}

}  // namespace

std::string CliFormatNames() {
    const std::size_t count = std::size(kExportFormats);
    std::string names;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) names += i + 1 < count ? ", " : " or ";
        names += kExportFormats[i].cli_name;
    }
    return names;
}

std::span<const CliOptionSpec> CliOptionTable() {
    return kOptions;
}

std::string CliHelpText() {
    std::string text =
        "Usage: lintaro-cli [OPTION]... [FILE]...\n"
        "Run a regular expression over the whole text of each FILE, read as UTF-8 or in\n"
        "the character set --encoding names, and print every match as a tab-separated\n"
        "table row: a running number, the whole match and one column per capturing\n"
        "group, after a header line. Tab, CR, LF and backslash inside a cell are written\n"
        "as \\t, \\r, \\n and \\\\. With no FILE, or when FILE is -, read standard input\n"
        "(with no FILE, only when it is not a terminal).\n"
        "\n"
        "Options:\n";
    for (const CliOptionSpec& option : kOptions) text += OptionLine(option);
    text += std::string() +
            "\n"
            "The default pattern, " +
            kPresetPattern +
            ",\n"
            "picks the absolute links out of an HTML page: group 1 is the scheme and host,\n"
            "group 2 the anchor's text.\n"
            "\n" +
            FilledParagraph("NAME is " + NamedPatternNames() +
                            ". --list-presets prints one line for each: the name, a tab, what "
                            "it finds and what its groups hold, a tab, the pattern.") +
            "\n" +
            FilledParagraph("FORMAT is " + CliFormatNames() +
                            ": the text the window program lintaro exports for the selected "
                            "cells.") +
            "\n"
            "The table operations change the table after the search, before any output, in\n"
            "this order: --decode-entities, --resolve-links, --trim, --unique, --sort. COL\n"
            "is a column number of the table (1 the whole match, 2 group 1, ...) or a comma\n"
            "list of them. --resolve-links resolves against the page's <base href>, else the\n"
            "address a browser noted when it saved the page, else --base. --unique and --sort\n"
            "number the rows anew from 1; --sort orders numbers as numbers when every cell\n"
            "of the column is one, texts as the locale collates them.\n"
            "\n"
            "With several FILEs (or -H), every table row, spans line and count line starts\n"
            "with the file's path and a tab (a CSV row with its path, a JSON object with its\n"
            "\"file\"), and the header line is printed once. --format exports the rows of\n"
            "all the files, in their order, as one selection.\n"
            "\n"
            "--json prints one object per match: \"number\", \"match\" with its \"offset\" and\n"
            "\"length\" in bytes of the searched UTF-8 text, and \"groups\", each a {\"text\",\n"
            "\"offset\", \"length\"} object or null for a group that took no part.\n"
            "\n"
            "Exit status:\n"
            "  0 when a match was found, 1 when none was, 2 when an error occurred: a file\n"
            "  that cannot be read, a pattern that does not compile, a usage error, output\n"
            "  that cannot be written, memory that ran out. A text cut at a malformed byte\n"
            "  or at a NUL byte, and an engine that gave up, are warnings.\n";
    return text;
}

std::string CliPresetListText() {
    std::string text;
    for (const NamedPattern& named : NamedPatterns()) {
        text += named.name + '\t' + named.description + '\t' + named.pattern + '\n';
    }
    return text;
}

std::string CliVersionText() {
    return "lintaro-cli " LINTARO_VERSION "\n";
}

std::string CliUsageHint() {
    return "Usage: lintaro-cli [OPTION]... [FILE]...\n"
           "Try 'lintaro-cli --help' for more information.\n";
}

}  // namespace lintaro
