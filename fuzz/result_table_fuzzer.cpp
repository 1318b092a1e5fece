// Fuzz target: the result table's operations in fuzzed order, checked against a plain model.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "table/result_table.h"
#include "tests/support/listed_source_rows.h"

namespace lintaro {
namespace {

constexpr int kMaxOperations = 96;
// Inserts stop at this size so that comparing every cell after every step stays cheap.
constexpr int kMaxExtent = 12;

int HeadingWidth(std::string_view heading) {
    return static_cast<int>(heading.size()) * 3 + 1;
}

// The table's rules written as plainly as possible: one string per cell, one height per row.
class ModelTable {
  public:
    ModelTable() { Reset(); }

    void Reset() {
        rows_ = std::max(rows_, 1);
        columns_ = std::max(columns_, 1);
        fixed_rows_ = 1;
        fixed_columns_ = 1;
        cells_.assign(static_cast<std::size_t>(rows_ * columns_), {});
        widths_.assign(static_cast<std::size_t>(columns_), table_defaults::kColumnWidth);
        heights_.assign(static_cast<std::size_t>(rows_), table_defaults::kRowHeight);
        background_ = table_defaults::kResetBackground;
    }

    bool DeleteRow(int row) {
        if (row < 0 || row >= rows_) return false;
        cells_.erase(cells_.begin() + row * columns_, cells_.begin() + (row + 1) * columns_);
        heights_.erase(heights_.begin() + row);
        --rows_;
        if (row < fixed_rows_) --fixed_rows_;
        return true;
    }

    bool DeleteColumn(int column) {
        if (column < 0 || column >= columns_) return false;
        for (int row = rows_ - 1; row >= 0; --row)
            cells_.erase(cells_.begin() + row * columns_ + column);
        widths_.erase(widths_.begin() + column);
        --columns_;
        if (column < fixed_columns_) --fixed_columns_;
        return true;
    }

    bool InsertColumn(std::string_view heading, std::optional<int> position) {
        if (columns_ == 0 && fixed_rows_ == 0 && fixed_columns_ == 0) MakeFixedHeaders();
        int column = position.value_or(columns_);
        if (column < fixed_columns_ || column >= columns_) column = columns_;
        if (rows_ == 0) AddRow(0, table_defaults::kRowHeight);
        AddColumn(column, HeadingWidth(heading));
        Cell(0, column) = heading;
        return true;
    }

    bool InsertRow(std::string_view heading, std::optional<int> position) {
        if (rows_ == 0 && fixed_rows_ == 0 && fixed_columns_ == 0) MakeFixedHeaders();
        int row = position.value_or(rows_);
        if (row < fixed_rows_ || row >= rows_) row = rows_;
        if (columns_ == 0) AddColumn(0, table_defaults::kColumnWidth);
        // As tall as row 0, or the default for a row inserted into a table without rows.
        AddRow(row, rows_ > 0 ? heights_[0] : table_defaults::kInsertedRowHeightWithoutHeader);
        Cell(row, 0) = heading;
        return true;
    }

    void SetCell(int row, int column, std::string_view text) {
        if (Inside(row, column)) Cell(row, column) = text;
    }

    bool SetColumnWidth(int column, int width) {
        if (column < 0 || column >= columns_ || width < 0) return false;
        widths_[static_cast<std::size_t>(column)] = width;
        return true;
    }

    void SetBackground(Rgb colour) { background_ = colour; }

    // Checks that table holds exactly what the model holds.
    void Compare(const ResultTable& table) const {
        FuzzCheck(table.RowCount() == rows_ && table.ColumnCount() == columns_, "counts agree");
        FuzzCheck(
            table.FixedRowCount() == fixed_rows_ && table.FixedColumnCount() == fixed_columns_,
            "fixed counts agree");
        FuzzCheck(fixed_rows_ >= 0 && fixed_rows_ <= std::min(rows_, 1) && fixed_columns_ >= 0 &&
                      fixed_columns_ <= std::min(columns_, 1),
                  "fixed counts stay within 0 .. 1 and the table");
        FuzzCheck(table.BackgroundColour() == background_, "background agrees");
        for (int row = -1; row <= rows_; ++row) {
            const bool row_inside = row >= 0 && row < rows_;
            FuzzCheck(
                table.RowHeight(row) == (row_inside ? heights_[static_cast<std::size_t>(row)] : -1),
                "row heights agree");
            for (int column = -1; column <= columns_; ++column) {
                const CellResult cell = table.GetCell(row, column);
                if (!Inside(row, column)) {
                    FuzzCheck(!cell.has_value(),
                              "a cell outside the table gives the no-cell marker");
                    continue;
                }
                FuzzCheck(cell.has_value() && *cell == Cell(row, column), "cell texts agree");
            }
        }
        for (int column = -1; column <= columns_; ++column) {
            const bool inside = column >= 0 && column < columns_;
            FuzzCheck(table.ColumnWidth(column) ==
                          (inside ? widths_[static_cast<std::size_t>(column)] : -1),
                      "column widths agree");
        }
    }

    void RewriteColumn(int column, const ResultTable::CellRewrite& rewrite) {
        if (column < 0 || column >= columns_) return;
        for (int row = fixed_rows_; row < rows_; ++row) {
            std::string rewritten;
            if (rewrite(Cell(row, column), rewritten)) Cell(row, column) = rewritten;
        }
    }

    void KeepDataRows(const std::vector<int>& rows) {
        std::vector<std::string> cells(cells_.begin(), cells_.begin() + fixed_rows_ * columns_);
        std::vector<int> heights(heights_.begin(), heights_.begin() + fixed_rows_);
        for (const int row : rows) {
            cells.insert(cells.end(), cells_.begin() + row * columns_,
                         cells_.begin() + (row + 1) * columns_);
            heights.push_back(heights_[static_cast<std::size_t>(row)]);
        }
        cells_ = std::move(cells);
        heights_ = std::move(heights);
        rows_ = fixed_rows_ + static_cast<int>(rows.size());
        if (fixed_columns_ == 0) return;
        for (int row = fixed_rows_; row < rows_; ++row) {
            Cell(row, 0) = std::to_string(row - fixed_rows_ + 1);
        }
    }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    int FixedRows() const { return fixed_rows_; }

  private:
    bool Inside(int row, int column) const {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }
    std::string& Cell(int row, int column) {
        return cells_[static_cast<std::size_t>(row * columns_ + column)];
    }
    const std::string& Cell(int row, int column) const {
        return cells_[static_cast<std::size_t>(row * columns_ + column)];
    }

    void MakeFixedHeaders() {
        if (rows_ == 0) AddRow(0, table_defaults::kRowHeight);
        fixed_rows_ = 1;
        if (columns_ == 0) AddColumn(0, table_defaults::kColumnWidth);
        fixed_columns_ = 1;
    }

    void AddRow(int row, int height) {
        cells_.insert(cells_.begin() + row * columns_, static_cast<std::size_t>(columns_),
                      std::string());
        heights_.insert(heights_.begin() + row, height);
        ++rows_;
    }

    void AddColumn(int column, int width) {
        for (int row = rows_ - 1; row >= 0; --row)
            cells_.insert(cells_.begin() + row * columns_ + column, std::string());
        widths_.insert(widths_.begin() + column, width);
        ++columns_;
    }

    int rows_ = table_defaults::kRowCount;
    int columns_ = table_defaults::kColumnCount;
    int fixed_rows_ = 1;
    int fixed_columns_ = 1;
    std::vector<std::string> cells_;
    std::vector<int> widths_;
    std::vector<int> heights_;
    Rgb background_;
};

std::optional<int> TakePosition(FuzzInput& input) {
    if (input.TakeBool()) return std::nullopt;
    return input.TakeInt(-2, kMaxExtent + 1);
}

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    ResultTable table(HeadingWidth);
    ModelTable model;
    model.SetBackground(table_defaults::kBackground);  // a new table has the initial colour
    auto source = std::make_shared<const TextBuffer>(std::string(input.TakeText(64)));
    table.ShareSource(source);
    model.Compare(table);

    for (int step = 0; step < kMaxOperations && !input.Empty(); ++step) {
        const int row = input.TakeInt(-2, kMaxExtent + 1);
        const int column = input.TakeInt(-2, kMaxExtent + 1);
        switch (input.TakeInt(0, 13)) {
            case 0:
                table.ResetTable();
                model.Reset();
                source = std::make_shared<const TextBuffer>();  // the table let go of it
                break;
            case 1:
                FuzzCheck(table.DeleteRow(row) == model.DeleteRow(row), "DeleteRow results agree");
                break;
            case 2:
                FuzzCheck(table.DeleteColumn(column) == model.DeleteColumn(column),
                          "DeleteColumn results agree");
                break;
            case 3: {
                const std::optional<int> position = TakePosition(input);
                const std::string heading(input.TakeText(16));
                if (model.Columns() >= kMaxExtent) break;
                FuzzCheck(
                    table.InsertColumn(heading, position) == model.InsertColumn(heading, position),
                    "InsertColumn results agree");
                break;
            }
            case 4: {
                const std::optional<int> position = TakePosition(input);
                const std::string heading(input.TakeText(16));
                if (model.Rows() >= kMaxExtent) break;
                FuzzCheck(table.InsertRow(heading, position) == model.InsertRow(heading, position),
                          "InsertRow results agree");
                break;
            }
            case 5: {
                const std::string text(input.TakeText(32));
                table.SetCell(row, column, text);
                model.SetCell(row, column, text);
                break;
            }
            case 6: {
                // A cell's own text, passed straight from GetCell: the view points into the table.
                const int to_row = input.TakeInt(-1, kMaxExtent);
                const int to_column = input.TakeInt(-1, kMaxExtent);
                const CellResult from = table.GetCell(row, column);
                if (!from) break;
                const std::string copy(*from);
                table.SetCell(to_row, to_column, *from);
                model.SetCell(to_row, to_column, copy);
                break;
            }
            case 7: {
                const int width = input.TakeInt(-3, 252);
                FuzzCheck(
                    table.SetColumnWidth(column, width) == model.SetColumnWidth(column, width),
                    "SetColumnWidth results agree");
                break;
            }
            case 8: {
                const Rgb colour{input.TakeByte(), input.TakeByte(), input.TakeByte()};
                table.SetBackgroundColour(colour);
                model.SetBackground(colour);
                break;
            }
            case 9: {
                // Bulk rows must leave what InsertRow and SetCell leave, and stay so through
                // the edits and row and column changes of the steps that follow.
                const int row_count = input.TakeInt(0, 4);
                const int span_count = input.TakeInt(0, kMaxExtent);
                std::vector<std::vector<SourceSpan>> rows(
                    static_cast<std::size_t>(row_count),
                    std::vector<SourceSpan>(static_cast<std::size_t>(span_count)));
                for (auto& spans : rows) {
                    for (SourceSpan& span : spans) {
                        span.offset = input.TakeInt(-2, 70);
                        span.length = input.TakeInt(-2, 70);
                    }
                }
                if (model.Rows() + row_count > kMaxExtent) break;
                table.AppendSourceRows(std::make_shared<const ListedSourceRows>(rows));
                const auto source_size = static_cast<std::int64_t>(source->Size());
                for (std::size_t r = 0; r < rows.size(); ++r) {
                    model.InsertRow(std::to_string(r + 1), std::nullopt);
                    for (std::size_t k = 0; k < rows[r].size(); ++k) {
                        const SourceSpan span = rows[r][k];
                        const bool shown =
                            span.length > 0 && span.offset >= 0 && span.offset < source_size;
                        const std::string text(
                            shown ? source->View().substr(static_cast<std::size_t>(span.offset),
                                                          static_cast<std::size_t>(span.length))
                                  : std::string_view());
                        model.SetCell(model.Rows() - 1, static_cast<int>(k) + 1, text);
                    }
                }
                break;
            }
            case 10: {
                // A new source: cells that showed the old one keep their texts.
                source = std::make_shared<const TextBuffer>(std::string(input.TakeText(64)));
                table.ShareSource(source);
                break;
            }
            case 11: {
                // Long texts written over and over leave enough dead bytes to compact the arena.
                const std::string text(static_cast<std::size_t>(input.TakeInt(1, 64)) * 4096,
                                       static_cast<char>(input.TakeByte()));
                for (int repeat = input.TakeInt(1, 8); repeat > 0; --repeat) {
                    table.SetCell(row, column, text);
                }
                model.SetCell(row, column, text);
                break;
            }
            case 12: {
                // A whole column rewritten, as the table operations do: some cells change, to a
                // text of their own or a long one, others stay.
                const int salt = input.TakeInt(0, 2);
                const std::size_t long_text = static_cast<std::size_t>(input.TakeInt(0, 3)) * 4096;
                const ResultTable::CellRewrite rewrite = [&](std::string_view text,
                                                             std::string& rewritten) {
                    if ((text.size() + static_cast<std::size_t>(salt)) % 3 == 0) return false;
                    rewritten.assign(text.rbegin(), text.rend());
                    rewritten.append(text.size() % 2 == 0 ? long_text : 1, '~');
                    return true;
                };
                table.RewriteColumn(column, rewrite);
                model.RewriteColumn(column, rewrite);
                break;
            }
            case 13: {
                // Some data rows kept, in an order of their own, as unique and sort do.
                std::vector<int> kept;
                for (int data_row = model.FixedRows(); data_row < model.Rows(); ++data_row) {
                    if (input.TakeBool()) kept.push_back(data_row);
                }
                for (std::size_t i = 1; i < kept.size(); ++i) {
                    std::swap(
                        kept[i],
                        kept[static_cast<std::size_t>(input.TakeInt(0, static_cast<int>(i)))]);
                }
                table.KeepDataRows(kept);
                model.KeepDataRows(kept);
                break;
            }
        }
        model.Compare(table);
    }
    return 0;
}
