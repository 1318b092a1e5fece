// What the batch program prints: the table as tab-separated lines and the matches' positions.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "match/search_result.h"
#include "table/result_table.h"

namespace lintaro {

// Appends a UTF-8 cell text to a tab-separated line, with tab, CR, LF and backslash written as
// \t, \r, \n and \\ so that every row stays one line.
void AppendTsvCell(std::string& line, std::string_view utf8_text);

// Writes every row of table, row 0 first and every column, as UTF-8 tab-separated lines.
void WriteTableTsv(const ResultTable& table, std::ostream& out);

// One line per match: its number, then "offset,length" of the whole match and of each group,
// or "-" for a group that took no part, tab-separated.
std::string FormatSpans(const SearchResults& results);

}  // namespace lintaro
