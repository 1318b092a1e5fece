// What the batch program prints: the table as tab-separated lines and the matches' positions.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "match/search_result.h"
#include "table/result_table.h"

namespace lintaro {

// Appends a UTF-8 cell text to a tab-separated line, with tab, CR, LF and backslash written as
// \t, \r, \n and \\ so that every row stays one line.
void AppendTsvCell(std::string& line, std::string_view utf8_text);

// What starts every line of a file's output when several files share it: the file's path (as
// its bytes, with the escapes of a cell; "(standard input)" for "-") and a tab.
std::string LineStart(const std::string& path);

// Writes the rows the result table holds for results, as UTF-8 tab-separated lines, without
// building the table: the header of headings only when with_header is set, then per match
// after line_start its number, its whole match and its groups cut out of text (the searched
// text; empty for a group that took no part). When line_start is not empty the header gets an
// empty first field, so that its columns stay over the rows'.
void WriteMatchesTsv(const std::vector<std::string>& headings, const SearchResults& results,
                     std::string_view text, std::ostream& out, bool with_header = true,
                     std::string_view line_start = {});

// Writes table as WriteMatchesTsv writes the matches: the same lines for the table a run
// builds, and the lines of that table after the table operations changed it.
void WriteTableTsv(const ResultTable& table, std::ostream& out, bool with_header = true,
                   std::string_view line_start = {});

// One line per match, after line_start: its number, then "offset,length" of the whole match
// and of each group, or "-" for a group that took no part, tab-separated.
std::string FormatSpans(const SearchResults& results, std::string_view line_start = {});

}  // namespace lintaro
