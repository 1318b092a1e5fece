// The result table's cell grid: texts, fixed counts, sizes and colours, with no widget code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

// A 24-bit colour.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What GetCell gives: the cell's text, or no value (the no-cell marker) outside the table.
using CellResult = std::optional<std::string_view>;

// Width in pixels that a column needs to show a heading in the table's font, margins included.
using HeadingWidthFunction = std::function<int(std::string_view heading)>;

// A span of the shared source text that a bulk-loaded cell shows.
struct SourceSpan {
    std::int64_t offset = 0;
    std::int64_t length = 0;  // 0 or less: the empty text
};

// The settings a new table starts with and ResetTable returns to.
namespace table_defaults {
inline constexpr int kRowCount = 5;
inline constexpr int kColumnCount = 5;
inline constexpr int kRowHeight = 32;
inline constexpr int kColumnWidth = 125;
inline constexpr int kInsertedRowHeightWithoutHeader = 24;
inline constexpr Rgb kGridLine{128, 128, 128};
inline constexpr Rgb kCellBackground{219, 236, 249};
inline constexpr Rgb kFixedCellBackground{250, 245, 218};
inline constexpr Rgb kText{0, 0, 0};
inline constexpr Rgb kSelectedBackground{188, 199, 248};
inline constexpr Rgb kSelectedText{0, 0, 0};
inline constexpr Rgb kBackground{219, 236, 249};
inline constexpr Rgb kResetBackground{255, 255, 255};
}  // namespace table_defaults

// The grid of the result table. Row 0 / column 0 are the fixed header row and number column
// whenever the fixed counts are 1. Cell texts are stored compactly: either in the table's own
// text arena or as spans of one shared, immutable source text (the searched text), so that a
// million-row table costs a few bytes per cell and no allocation per cell.
class ResultTable {
public:
    // A 5 x 5 table of empty cells with the initial settings.
    explicit ResultTable(HeadingWidthFunction heading_width = {});

    // Empties every cell and restores the initial settings, keeping the row and column
    // counts (at least 1 x 1); the background becomes white.
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
    // Replaces a cell's text; nothing happens outside the table.
    void SetCell(int row, int column, std::string_view text);
    // False for a column outside the table or a negative width.
    bool SetColumnWidth(int column, int width);
    void SetBackgroundColour(Rgb colour);
    // The cell's text, or std::nullopt outside the table. The view stays valid until the
    // table changes.
    CellResult GetCell(int row, int column) const;

    int FixedRowCount() const;
    int FixedColumnCount() const;
    int RowHeight(int row) const;
    int ColumnWidth(int column) const;
    Rgb BackgroundColour() const;

    // Bulk loading, used by the match run to build a large table in one go.
    // Makes source the text that AppendSourceRow's spans refer to.
    void ShareSource(std::shared_ptr<const std::string> source);
    void ReserveRows(std::int64_t rows);
    // Appends a row: heading in column 0, cells[k] in column 1 + k, further columns empty.
    // Same result as InsertRow(heading) followed by SetCell for each span.
    void AppendSourceRow(std::string_view heading, std::span<const SourceSpan> cells);

private:
    // Implementation-defined storage (see result_table.cpp).
    struct Cell;
    // ... filled in by the implementation
};

}  // namespace lintaro
