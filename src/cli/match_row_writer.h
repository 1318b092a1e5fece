// Writes the batch program's rows of matches as tab-separated lines, CSV or JSON Lines, a row
// at a time, whether they come from the search results or from a result table.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "match/span_record.h"

namespace lintaro {

enum class RowFormat { kTsv, kCsv, kJson };

// How the rows of one file are written.
struct MatchRowsLayout {
    RowFormat format = RowFormat::kTsv;
    bool header = true;  // the header line of TSV and CSV
    // The file every row names (program text; "-" is standard input); empty: none.
    std::string path;
    // The table columns to write, counted as in the table: 1 the whole match, 1 + j group j.
    // Columns past the last are not there to write.
    IndexRange columns = {1, std::numeric_limits<int>::max()};
};

// One cell of a row: its text and, from the search, where it lies in the searched text.
struct RowCell {
    std::string_view text;  // program text
    bool took_part = true;  // false: a group that took no part (its text is empty)
    std::optional<SubMatchSpan> span;
};

class MatchRowWriter {
  public:
    // first_column: the table column of every row's first cell. The rows are written to out
    // a block at a time.
    MatchRowWriter(const MatchRowsLayout& layout, int first_column, std::ostream& out);
    // The rows are appended to into, which the caller may reuse from one writer to the next.
    MatchRowWriter(const MatchRowsLayout& layout, int first_column, std::string& into);
    ~MatchRowWriter();
    MatchRowWriter(const MatchRowWriter&) = delete;
    MatchRowWriter& operator=(const MatchRowWriter&) = delete;

    // The header line when the layout asks for one: the number column's heading, then the
    // written columns'. JSON has none.
    void Header(std::span<const std::string> headings);
    void Row(std::int64_t number, std::span<const RowCell> cells);
    // Writes the rows collected so far; they are written a block at a time otherwise.
    void Flush();

  private:
    void AppendText(std::string_view program_text);
    void EndLine();

    const MatchRowsLayout& layout_;
    int first_column_;
    std::ostream* out_;       // null: the rows stay in line_
    std::string file_field_;  // what starts every row: the escaped path and a separator
    std::string own_line_;    // line_ when the rows go to out_
    // The rows not yet written, about a block of them; or the caller's text of rows.
    std::string& line_;
};

}  // namespace lintaro
