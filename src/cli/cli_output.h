// What the batch program prints: the table as tab-separated lines and the matches' positions.
#pragma once

#include <cstdint>
#include <optional>
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

// Writes the rows the result table would hold for the matches of a search without building
// the table, as the matches come, a batch at a time: the header of headings (the table's, from
// the number column on) first, then per match its number, its whole match and its groups cut
// out of the searched text, with the layout's columns. Numbers go on from batch to batch.
class MatchRowsStream {
  public:
    MatchRowsStream(const std::vector<std::string>& headings, int group_count,
                    const MatchRowsLayout& layout, std::ostream& out);
    void Write(const SearchResults& batch, std::string_view text);

  private:
    MatchRowsLayout layout_;
    std::optional<IndexRange> columns_;
    MatchRowWriter writer_;
    std::vector<RowCell> cells_;
    std::int64_t number_ = 0;
};

// The rows of all of results at once, as MatchRowsStream writes them.
void WriteMatchRows(const std::vector<std::string>& headings, const SearchResults& results,
                    std::string_view text, const MatchRowsLayout& layout, std::ostream& out);

// Writes the header and data rows of table with the layout's columns: what the table holds
// after operations on it. Its cells carry no places in the text, and an empty group cell
// reads as a group that took part. A long table's rows are formatted by threads threads (0:
// one per processor), a stretch of rows each, and written in order.
void WriteTableRows(const ResultTable& table, const MatchRowsLayout& layout, int threads,
                    std::ostream& out);

// Writes one line per match, after line_start: its number (counted from first_number), then
// "offset,length" of the whole match and of each group, or "-" for a group that took no part,
// tab-separated.
void WriteSpans(const SearchResults& results, std::string_view line_start,
                std::int64_t first_number, std::ostream& out);

}  // namespace lintaro
