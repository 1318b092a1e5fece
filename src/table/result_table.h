// The result table's cell grid: texts, fixed counts, sizes and colours, with no widget code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/huge_pages.h"
#include "base/rgb.h"
#include "base/text_buffer.h"
#include "table/heading_width_estimate.h"

namespace lintaro {

// What GetCell gives: the cell's text, or no value (the no-cell marker) outside the table.
using CellResult = std::optional<std::string_view>;

// Width in pixels that a column needs to show a heading in the table's font, margins included.
using HeadingWidthFunction = std::function<int(std::string_view heading)>;

// A span of the shared source text that a bulk-loaded cell shows.
struct SourceSpan {
    std::int64_t offset = 0;
    std::int64_t length = 0;  // 0 or less: the empty text
};

// Rows that a table shows from the shared source text instead of storing them: row r's number
// cell holds r + 1 and its cell 1 + k span k of the row. The match run provides them over its
// search results, so a million-row table copies no match.
class SourceRows {
  public:
    virtual ~SourceRows() = default;
    virtual std::int64_t RowCount() const = 0;
    virtual int SpansPerRow() const = 0;
    // Span k of row r, for 0 <= r < RowCount() and 0 <= k < SpansPerRow().
    virtual SourceSpan Span(std::int64_t row, int k) const = 0;
    // Asks memory for row r's spans ahead of Span, so that reading rows out of their order
    // waits for several at once.
    virtual void Prefetch(std::int64_t /*row*/) const {}
};

// The settings a new table starts with and ResetTable returns to.
namespace table_defaults {
inline constexpr int kRowCount = 5;
inline constexpr int kColumnCount = 5;
inline constexpr int kRowHeight = 32;
inline constexpr int kColumnWidth = 125;
inline constexpr int kInsertedRowHeightWithoutHeader = 24;
inline constexpr Rgb kGridLine{128, 128, 128};
inline constexpr Rgb kCellBackground = kWindowColour;
inline constexpr Rgb kFixedCellBackground{250, 245, 218};
inline constexpr Rgb kText{0, 0, 0};
inline constexpr Rgb kSelectedBackground{188, 199, 248};
inline constexpr Rgb kSelectedText{0, 0, 0};
inline constexpr Rgb kBackground = kWindowColour;
inline constexpr Rgb kResetBackground{255, 255, 255};
}  // namespace table_defaults

// The grid of the result table. Row 0 / column 0 are the fixed header row and number column
// whenever the fixed counts are 1. Cell texts are stored compactly: either in the table's own
// text arena or as spans of one shared, immutable source text (the searched text), so that a
// million-row table costs a few bytes per cell and no allocation per cell.
class ResultTable {
  public:
    // A 5 x 5 table of empty cells with the initial settings. Without heading_width, new
    // columns are as wide as EstimateHeadingWidth says.
    explicit ResultTable(HeadingWidthFunction heading_width = {});

    // Empties every cell and restores the initial settings, keeping the row and column
    // counts (at least 1 x 1); the background becomes white. No cell shows the shared source
    // any more, so the table lets go of it: bulk rows need a new ShareSource.
    void ResetTable();
    int RowCount() const;
    int ColumnCount() const;
    // Removes a row; false when row is outside the table. Deleting a fixed row lowers the
    // fixed row count.
    bool DeleteRow(int row);
    bool DeleteColumn(int column);
    // Adds a column headed by heading; a missing or out-of-range position appends it.
    bool InsertColumn(std::string_view heading, std::optional<int> position = std::nullopt);
    // Adds a row whose number cell holds heading; a missing or out-of-range position appends.
    bool InsertRow(std::string_view heading, std::optional<int> position = std::nullopt);
    // Where InsertColumn / InsertRow put their new column or row, once the table has its
    // fixed row and column: positions below the fixed count or outside the table append.
    int InsertedColumnIndex(std::optional<int> position) const;
    int InsertedRowIndex(std::optional<int> position) const;
    // Replaces a cell's text; nothing happens outside the table.
    void SetCell(int row, int column, std::string_view text);
    // False for a column outside the table or a negative width.
    bool SetColumnWidth(int column, int width);
    void SetBackgroundColour(Rgb colour);
    // The cell's text, or std::nullopt outside the table. The view stays valid until the
    // table changes.
    CellResult GetCell(int row, int column) const;
    // Asks memory for what GetCell needs of row ahead of reading it (see SourceRows::Prefetch).
    void PrefetchRow(int row) const;

    int FixedRowCount() const;
    int FixedColumnCount() const;
    // Both give -1 outside the table.
    int RowHeight(int row) const;
    int ColumnWidth(int column) const;
    Rgb BackgroundColour() const;

    // Bulk loading, used by the match run to build a large table in one go.
    // Makes source the text that AppendSourceRows' spans refer to.
    void ShareSource(std::shared_ptr<const TextBuffer> source);
    // Appends the rows of rows, read from it when asked for rather than copied. Same result
    // as InsertRow(std::to_string(r + 1)) followed by SetCell(row, 1 + k, text of span k) for
    // each of its rows r (as far as the table has room): spans beyond the table's columns are
    // ignored, a span of length 0 or less or starting outside the source shows the empty
    // text, and one reaching past the source's end is cut at it.
    void AppendSourceRows(std::shared_ptr<const SourceRows> rows);
    // The shared source text, or null.
    const std::shared_ptr<const TextBuffer>& Source() const { return source_; }

    // Whole-table changes, in one pass however many rows there are.
    // Gives each data row's cell of column to rewrite, which writes the cell's new text into
    // its second argument and returns true, or returns false to leave the cell as it is.
    // Returns how many cells changed; nothing happens for a column outside the table.
    using CellRewrite = std::function<bool(std::string_view text, std::string& rewritten)>;
    std::int64_t RewriteColumn(int column, const CellRewrite& rewrite);
    // Keeps the data rows listed in rows (table row numbers, each at most once), in that order,
    // and drops the other data rows; the number column then counts 1, 2, ... again.
    void KeepDataRows(std::span<const int> rows);

  private:
    // One cell: a span of the text arena, or of the shared source when in_source is set.
    // Sixteen bytes and no heap object of its own, so a million rows stay cheap.
    struct Cell {
        std::int64_t offset : 63 = 0;
        bool in_source : 1 = false;
        std::int64_t length = 0;
    };
    static_assert(sizeof(Cell) == 16);

    std::string_view TextOf(const Cell& cell) const;
    Cell& At(int row, int column) { return cells_[Index(row, column)]; }
    std::size_t Index(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(column_count_) +
               static_cast<std::size_t>(column);
    }
    // The first insert into a table with neither fixed rows nor fixed columns creates the
    // header row and the number column (each only when the table has none).
    void MakeFixedHeaders();
    void AddEmptyRow(int row, int height_if_first);
    void AddEmptyColumn(int column, int width);
    void StoreText(Cell& cell, std::string_view text);
    // Counts cells' arena texts as garbage before they are dropped or overwritten.
    void Abandon(const Cell& cell);
    void CompactArenaIfWasteful();
    // Copies cells that show the shared source into the arena, so the source can go.
    void DetachFromSource();
    // The rows below the stored grid, read from bulk_rows_.
    int StoredRowCount() const { return bulk_rows_ ? bulk_first_row_ : row_count_; }
    // The row of bulk_rows_ that the table's row (a bulk row) shows.
    std::int64_t SourceRow(int row) const;
    std::int64_t BulkEditKey(std::int64_t source_row, int column) const {
        return source_row * column_count_ + column;
    }
    // Whether column holds a cell per row of bulk_rows_ (MakeBulkColumnDense).
    bool IsBulkColumnDense(int column) const;
    // The cell that a bulk row's cell shows instead of its span or number, or null.
    const Cell* BulkOverride(std::int64_t source_row, int column) const;
    // The cell of a bulk row that takes its new text: its dense column's, or an edit.
    Cell& BulkCellToWrite(int row, int column);
    CellResult BulkCell(int row, int column) const;
    // Makes column hold a cell per row of bulk_rows_ (its span's text, or its edit), which a
    // rewrite of the whole column then fills without an edit per cell.
    void MakeBulkColumnDense(int column);
    // KeepDataRows over bulk rows alone, by choosing which of bulk_rows_'s rows show and in
    // which order; false, and nothing changed, when the rows are not all bulk ones.
    bool KeepBulkRows(std::span<const int> rows);
    std::string_view SourceText(const SourceSpan& span) const;
    // Where number's text starts in the numbers 1, 2, ... written one after another.
    static std::int64_t NumberTextOffset(std::int64_t number);
    std::string_view RowNumberText(std::int64_t number) const;
    // Stores the bulk rows in the grid, as row and column changes need; no cell's text changes.
    void StoreBulkRows();
    void DropBulkRows();

    HeadingWidthFunction heading_width_;
    int row_count_ = 0;
    int column_count_ = 0;
    int fixed_row_count_ = 0;
    int fixed_column_count_ = 0;
    // Every row has this height: a row is either the first one or copies row 0's height.
    int row_height_ = table_defaults::kRowHeight;
    std::vector<int> column_widths_;
    Rgb background_ = table_defaults::kBackground;
    // Row-major, row_count_ x column_count_. A million matches fill tens of megabytes at once,
    // which huge pages make several times cheaper to touch.
    using CellGrid = std::vector<Cell, HugePageAllocator<Cell>>;
    CellGrid cells_;
    std::string arena_;
    std::int64_t arena_garbage_ = 0;  // bytes of arena_ no cell refers to any more
    std::shared_ptr<const TextBuffer> source_;
    // Rows bulk_first_row_ .. row_count_ - 1 show rows of bulk_rows_, unless it is null: in
    // order, or the ones bulk_order_ lists when it is not empty. Their number texts lie one
    // after another in bulk_numbers_. A cell edited in place keeps its text in the arena, found
    // in bulk_edits_ by BulkEditKey of its row of bulk_rows_; a column rewritten whole holds a
    // cell per row of bulk_rows_ in bulk_columns_ (empty: none) instead.
    std::shared_ptr<const SourceRows> bulk_rows_;
    int bulk_first_row_ = 0;
    int bulk_source_rows_ = 0;  // how many of bulk_rows_'s rows the table took
    HugePageVector<int> bulk_order_;
    HugePageString bulk_numbers_;
    std::unordered_map<std::int64_t, Cell> bulk_edits_;
    std::vector<std::vector<Cell>> bulk_columns_;
};

}  // namespace lintaro
