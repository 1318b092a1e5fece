// What the batch program prints: the table as tab-separated lines and the matches' positions.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/match_row_writer.h"
#include "match/search_result.h"
#include "table/result_table.h"

namespace lintaro {

// Appends a UTF-8 cell text to a tab-separated line, with tab, CR, LF and backslash written as
// \t, \r, \n and \\ so that every row stays one line.
void AppendTsvCell(std::string& line, std::string_view utf8_text);

// What starts every line of a file's output when several files share it: the file's path (as
// its bytes, with the escapes of a cell; "(standard input)" for "-") and a tab.
std::string LineStart(const std::string& path);

// Appends a UTF-8 text as one RFC 4180 field: as it is, or in double quotes (with quotes
// doubled) when it holds a comma, a double quote, CR or LF.
void AppendCsvField(std::string& line, std::string_view utf8_text);

// Appends a UTF-8 text as a JSON string: quotes, backslash and control characters escaped, and
// each byte that is not part of a well-formed UTF-8 sequence (a match that cuts a character
// in two) written as U+FFFD, so that the string is valid JSON.
void AppendJsonString(std::string& line, std::string_view utf8_text);

// Writes the rows the result table holds for results without building the table: the header
// of headings (the table's, from the number column on), then per match its number, its whole
// match and its groups cut out of text (the searched text), with the layout's columns.
void WriteMatchRows(const std::vector<std::string>& headings, const SearchResults& results,
                    std::string_view text, const MatchRowsLayout& layout, std::ostream& out);

// Writes the header and data rows of table with the layout's columns: what the table holds
// after operations on it. Its cells carry no places in the text, and an empty group cell
// reads as a group that took part.
void WriteTableRows(const ResultTable& table, const MatchRowsLayout& layout, std::ostream& out);

// One line per match, after line_start: its number, then "offset,length" of the whole match
// and of each group, or "-" for a group that took no part, tab-separated.
std::string FormatSpans(const SearchResults& results, std::string_view line_start = {});

}  // namespace lintaro
