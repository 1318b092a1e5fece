// The result table's cell grid: texts, fixed counts, sizes and colours, with no widget code.
#include "table/result_table.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace lintaro {

namespace {
constexpr int kMaxCount = std::numeric_limits<int>::max();
// Edits and deletions leave dead bytes in the arena; it is rebuilt once they are the
// larger part of it and worth the walk over all cells.
constexpr std::int64_t kMinGarbageToCompact = 1 << 20;
}  // namespace

ResultTable::ResultTable(HeadingWidthFunction heading_width)
    : heading_width_(std::move(heading_width)),
      row_count_(table_defaults::kRowCount),
      column_count_(table_defaults::kColumnCount) {
    ResetTable();
    background_ = table_defaults::kBackground;
}

void ResultTable::ResetTable() {
    const int rows = std::max(row_count_, 1);
    const int columns = std::max(column_count_, 1);
    row_count_ = rows;
    column_count_ = columns;
    fixed_row_count_ = 1;
    fixed_column_count_ = 1;
    row_height_ = table_defaults::kRowHeight;
    column_widths_.assign(static_cast<std::size_t>(columns), table_defaults::kColumnWidth);
    cells_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), Cell{});
    arena_.clear();
    arena_garbage_ = 0;
    source_.reset();
    DropBulkRows();
    background_ = table_defaults::kResetBackground;
}

int ResultTable::RowCount() const {
    return row_count_;
}

int ResultTable::ColumnCount() const {
    return column_count_;
}

bool ResultTable::DeleteRow(int row) {
    if (row < 0 || row >= row_count_) return false;
    StoreBulkRows();
    const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
    const auto last = first + column_count_;
    std::for_each(first, last, [this](const Cell& cell) { Abandon(cell); });
    cells_.erase(first, last);
    --row_count_;
    if (row < fixed_row_count_) --fixed_row_count_;
    CompactArenaIfWasteful();
    return true;
}

bool ResultTable::DeleteColumn(int column) {
    if (column < 0 || column >= column_count_) return false;
    StoreBulkRows();
    CellGrid kept;
    kept.reserve(static_cast<std::size_t>(row_count_) *
                 static_cast<std::size_t>(column_count_ - 1));
    for (int row = 0; row < row_count_; ++row) {
        for (int c = 0; c < column_count_; ++c) {
            const Cell& cell = cells_[Index(row, c)];
            if (c == column) {
                Abandon(cell);
            } else {
                kept.push_back(cell);
            }
        }
    }
    cells_ = std::move(kept);
    column_widths_.erase(column_widths_.begin() + column);
    --column_count_;
    if (column < fixed_column_count_) --fixed_column_count_;
    CompactArenaIfWasteful();
    return true;
}

bool ResultTable::InsertColumn(std::string_view heading, std::optional<int> position) {
    if (column_count_ == kMaxCount) return false;
    StoreBulkRows();
    if (column_count_ == 0 && fixed_row_count_ == 0 && fixed_column_count_ == 0) {
        MakeFixedHeaders();
    }
    const int column = InsertedColumnIndex(position);
    if (row_count_ == 0) AddEmptyRow(0, table_defaults::kRowHeight);
    const int width = heading_width_ ? heading_width_(heading) : EstimateHeadingWidth(heading);
    AddEmptyColumn(column, width);
    StoreText(At(0, column), heading);
    return true;
}

bool ResultTable::InsertRow(std::string_view heading, std::optional<int> position) {
    if (row_count_ == kMaxCount) return false;
    StoreBulkRows();
    if (row_count_ == 0 && fixed_row_count_ == 0 && fixed_column_count_ == 0) {
        MakeFixedHeaders();
    }
    const int row = InsertedRowIndex(position);
    if (column_count_ == 0) AddEmptyColumn(0, table_defaults::kColumnWidth);
    AddEmptyRow(row, table_defaults::kInsertedRowHeightWithoutHeader);
    StoreText(At(row, 0), heading);
    return true;
}

int ResultTable::InsertedColumnIndex(std::optional<int> position) const {
    const int column = position.value_or(column_count_);
    return column < fixed_column_count_ || column >= column_count_ ? column_count_ : column;
}

int ResultTable::InsertedRowIndex(std::optional<int> position) const {
    const int row = position.value_or(row_count_);
    return row < fixed_row_count_ || row >= row_count_ ? row_count_ : row;
}

void ResultTable::SetCell(int row, int column, std::string_view text) {
    if (row < 0 || row >= row_count_ || column < 0 || column >= column_count_) return;
    if (row >= StoredRowCount()) {
        StoreText(BulkCellToWrite(row, column), text);
    } else {
        StoreText(At(row, column), text);
    }
    CompactArenaIfWasteful();
}

bool ResultTable::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= column_count_ || width < 0) return false;
    column_widths_[static_cast<std::size_t>(column)] = width;
    return true;
}

void ResultTable::SetBackgroundColour(Rgb colour) {
    background_ = colour;
}

CellResult ResultTable::GetCell(int row, int column) const {
    if (row < 0 || row >= row_count_ || column < 0 || column >= column_count_) {
        return std::nullopt;
    }
    if (row >= StoredRowCount()) return BulkCell(row, column);
    return TextOf(cells_[Index(row, column)]);
}

void ResultTable::PrefetchRow(int row) const {
    if (row >= StoredRowCount() && row < row_count_) bulk_rows_->Prefetch(SourceRow(row));
}

int ResultTable::FixedRowCount() const {
    return fixed_row_count_;
}

int ResultTable::FixedColumnCount() const {
    return fixed_column_count_;
}

int ResultTable::RowHeight(int row) const {
    return row < 0 || row >= row_count_ ? -1 : row_height_;
}

int ResultTable::ColumnWidth(int column) const {
    if (column < 0 || column >= column_count_) return -1;
    return column_widths_[static_cast<std::size_t>(column)];
}

Rgb ResultTable::BackgroundColour() const {
    return background_;
}

void ResultTable::ShareSource(std::shared_ptr<const TextBuffer> source) {
    // Rows that showed another source, or none (their cells are empty), keep what they show.
    if (source_ != source) {
        StoreBulkRows();
        DetachFromSource();
    }
    source_ = std::move(source);
}

void ResultTable::AppendSourceRows(std::shared_ptr<const SourceRows> rows) {
    StoreBulkRows();
    if (!rows || rows->RowCount() <= 0 || row_count_ == kMaxCount) return;
    // What InsertRow does before its first row goes in.
    if (row_count_ == 0 && fixed_row_count_ == 0 && fixed_column_count_ == 0) {
        MakeFixedHeaders();
    }
    if (column_count_ == 0) AddEmptyColumn(0, table_defaults::kColumnWidth);
    if (row_count_ == 0) row_height_ = table_defaults::kInsertedRowHeightWithoutHeader;
    const std::int64_t count = std::min<std::int64_t>(rows->RowCount(), kMaxCount - row_count_);
    bulk_first_row_ = row_count_;
    bulk_source_rows_ = static_cast<int>(count);
    row_count_ += static_cast<int>(count);
    bulk_rows_ = std::move(rows);
    bulk_numbers_.reserve(static_cast<std::size_t>(NumberTextOffset(count + 1)));
    char number[24];
    for (std::int64_t n = 1; n <= count; ++n) {
        const auto end = std::to_chars(number, number + sizeof number, n).ptr;
        bulk_numbers_.append(number, end);
    }
}

std::int64_t ResultTable::RewriteColumn(int column, const CellRewrite& rewrite) {
    if (column < 0 || column >= column_count_) return 0;
    // Bulk rows go on showing their other columns from the source, and this one's new texts go
    // into a dense column rather than an edit per cell, made at the first change: a column the
    // rewrite leaves as it is costs no copy. The number column, which bulk rows count by
    // themselves, is stored in the grid first.
    if (!bulk_rows_ || column == 0) StoreBulkRows();
    std::int64_t changed = 0;
    std::string rewritten;
    for (int row = fixed_row_count_; row < row_count_; ++row) {
        rewritten.clear();
        const bool stored = row < StoredRowCount();
        if (!stored && !IsBulkColumnDense(column)) {
            if (!rewrite(BulkCell(row, column).value_or(""), rewritten)) continue;
            MakeBulkColumnDense(column);
        } else if (!rewrite(TextOf(stored ? At(row, column) : BulkCellToWrite(row, column)),
                            rewritten)) {
            continue;
        }
        StoreText(stored ? At(row, column) : BulkCellToWrite(row, column), rewritten);
        ++changed;
    }
    CompactArenaIfWasteful();
    return changed;
}

void ResultTable::KeepDataRows(std::span<const int> rows) {
    if (KeepBulkRows(rows)) return;
    StoreBulkRows();
    const auto columns = static_cast<std::size_t>(column_count_);
    const auto fixed_cells = static_cast<std::size_t>(fixed_row_count_) * columns;
    CellGrid kept;
    kept.reserve(fixed_cells + rows.size() * columns);
    kept.insert(kept.end(), cells_.begin(),
                cells_.begin() + static_cast<std::ptrdiff_t>(fixed_cells));
    std::vector<bool> is_kept(static_cast<std::size_t>(row_count_), false);
    for (const int row : rows) {
        is_kept[static_cast<std::size_t>(row)] = true;
        const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
        kept.insert(kept.end(), first, first + column_count_);
    }
    for (int row = fixed_row_count_; row < row_count_; ++row) {
        if (is_kept[static_cast<std::size_t>(row)]) continue;
        const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
        std::for_each(first, first + column_count_, [this](const Cell& cell) { Abandon(cell); });
    }
    cells_ = std::move(kept);
    row_count_ = fixed_row_count_ + static_cast<int>(rows.size());
    if (fixed_column_count_ > 0) {
        char number[24];
        for (int row = fixed_row_count_; row < row_count_; ++row) {
            const auto end =
                std::to_chars(number, number + sizeof number, row - fixed_row_count_ + 1).ptr;
            StoreText(At(row, 0), std::string_view(number, static_cast<std::size_t>(end - number)));
        }
    }
    CompactArenaIfWasteful();
}

std::string_view ResultTable::TextOf(const Cell& cell) const {
    if (cell.length == 0) return {};
    const std::string_view text = cell.in_source ? source_->View() : std::string_view(arena_);
    return text.substr(static_cast<std::size_t>(cell.offset),
                       static_cast<std::size_t>(cell.length));
}

bool ResultTable::KeepBulkRows(std::span<const int> rows) {
    // The bulk rows' number column counts 1, 2, ... by itself, as a kept table's must.
    if (!bulk_rows_ || bulk_first_row_ != fixed_row_count_ || fixed_column_count_ == 0) {
        return false;
    }
    if (std::ranges::any_of(rows, [this](int row) { return row < bulk_first_row_; })) return false;
    HugePageVector<int> order(rows.size());
    std::vector<bool> kept(static_cast<std::size_t>(bulk_source_rows_), false);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        order[i] = static_cast<int>(SourceRow(rows[i]));
        kept[static_cast<std::size_t>(order[i])] = true;
    }
    // Edits of the rows that go, and of the numbers, which count anew, go too.
    std::erase_if(bulk_edits_, [&](const auto& entry) {
        const bool dropped = entry.first % column_count_ == 0 ||
                             !kept[static_cast<std::size_t>(entry.first / column_count_)];
        if (dropped) Abandon(entry.second);
        return dropped;
    });
    for (std::vector<Cell>& column : bulk_columns_) {
        for (std::size_t source_row = 0; source_row < column.size(); ++source_row) {
            if (kept[source_row]) continue;
            Abandon(column[source_row]);
            column[source_row] = Cell{};
        }
    }
    bulk_order_ = std::move(order);
    row_count_ = fixed_row_count_ + static_cast<int>(rows.size());
    CompactArenaIfWasteful();
    return true;
}

std::int64_t ResultTable::SourceRow(int row) const {
    const int shown = row - bulk_first_row_;
    return bulk_order_.empty() ? shown : bulk_order_[static_cast<std::size_t>(shown)];
}

bool ResultTable::IsBulkColumnDense(int column) const {
    return !bulk_columns_.empty() && !bulk_columns_[static_cast<std::size_t>(column)].empty();
}

const ResultTable::Cell* ResultTable::BulkOverride(std::int64_t source_row, int column) const {
    if (IsBulkColumnDense(column)) {
        return &bulk_columns_[static_cast<std::size_t>(column)]
                             [static_cast<std::size_t>(source_row)];
    }
    if (bulk_edits_.empty()) return nullptr;
    const auto edit = bulk_edits_.find(BulkEditKey(source_row, column));
    return edit != bulk_edits_.end() ? &edit->second : nullptr;
}

ResultTable::Cell& ResultTable::BulkCellToWrite(int row, int column) {
    const std::int64_t source_row = SourceRow(row);
    if (IsBulkColumnDense(column)) {
        return bulk_columns_[static_cast<std::size_t>(column)]
                            [static_cast<std::size_t>(source_row)];
    }
    return bulk_edits_[BulkEditKey(source_row, column)];
}

CellResult ResultTable::BulkCell(int row, int column) const {
    const std::int64_t source_row = SourceRow(row);
    if (const Cell* cell = BulkOverride(source_row, column)) return TextOf(*cell);
    if (column == 0) return RowNumberText(row - bulk_first_row_ + 1);
    if (column - 1 < bulk_rows_->SpansPerRow()) {
        return SourceText(bulk_rows_->Span(source_row, column - 1));
    }
    return std::string_view();
}

void ResultTable::MakeBulkColumnDense(int column) {
    if (bulk_columns_.empty()) bulk_columns_.resize(static_cast<std::size_t>(column_count_));
    std::vector<Cell>& cells = bulk_columns_[static_cast<std::size_t>(column)];
    if (!cells.empty()) return;
    cells.resize(static_cast<std::size_t>(bulk_source_rows_));
    const bool spanned = column - 1 < bulk_rows_->SpansPerRow();
    for (int source_row = 0; source_row < bulk_source_rows_; ++source_row) {
        Cell& cell = cells[static_cast<std::size_t>(source_row)];
        if (!bulk_edits_.empty()) {
            const auto edit = bulk_edits_.find(BulkEditKey(source_row, column));
            if (edit != bulk_edits_.end()) {
                cell = edit->second;  // its arena text moves over as it is
                bulk_edits_.erase(edit);
                continue;
            }
        }
        if (!spanned) continue;
        const SourceSpan span = bulk_rows_->Span(source_row, column - 1);
        const std::string_view text = SourceText(span);
        if (text.empty()) continue;
        cell.offset = span.offset;
        cell.in_source = true;
        cell.length = static_cast<std::int64_t>(text.size());
    }
}

std::string_view ResultTable::SourceText(const SourceSpan& span) const {
    const std::int64_t source_size = source_ ? static_cast<std::int64_t>(source_->Size()) : 0;
    if (span.length <= 0 || span.offset < 0 || span.offset >= source_size) return {};
    return source_->View().substr(
        static_cast<std::size_t>(span.offset),
        static_cast<std::size_t>(std::min(span.length, source_size - span.offset)));
}

std::int64_t ResultTable::NumberTextOffset(std::int64_t number) {
    // The numbers of one digit count take the same room each.
    std::int64_t offset = 0;
    std::int64_t first = 1;
    int digits = 1;
    // number >= 10 * first, without a division: this runs for every number cell written.
    while (number >= first * 10) {
        offset += 9 * first * digits;
        first *= 10;
        ++digits;
    }
    return offset + (number - first) * digits;
}

std::string_view ResultTable::RowNumberText(std::int64_t number) const {
    const std::int64_t offset = NumberTextOffset(number);
    return std::string_view(bulk_numbers_)
        .substr(static_cast<std::size_t>(offset),
                static_cast<std::size_t>(NumberTextOffset(number + 1) - offset));
}

void ResultTable::StoreBulkRows() {
    if (!bulk_rows_) return;
    const int spans = bulk_rows_->SpansPerRow();
    cells_.reserve(static_cast<std::size_t>(row_count_) * static_cast<std::size_t>(column_count_));
    for (int row = bulk_first_row_; row < row_count_; ++row) {
        const std::int64_t source_row = SourceRow(row);
        for (int column = 0; column < column_count_; ++column) {
            Cell cell;
            if (const Cell* override = BulkOverride(source_row, column)) {
                cell = *override;  // its arena text moves over as it is
            } else if (column == 0) {
                StoreText(cell, RowNumberText(row - bulk_first_row_ + 1));
            } else if (column - 1 < spans) {
                const SourceSpan span = bulk_rows_->Span(source_row, column - 1);
                const std::string_view text = SourceText(span);
                if (!text.empty()) {
                    cell.offset = span.offset;
                    cell.in_source = true;
                    cell.length = static_cast<std::int64_t>(text.size());
                }
            }
            cells_.push_back(cell);
        }
    }
    DropBulkRows();
}

void ResultTable::DropBulkRows() {
    bulk_rows_.reset();
    bulk_first_row_ = 0;
    bulk_source_rows_ = 0;
    HugePageVector<int>().swap(bulk_order_);
    HugePageString().swap(bulk_numbers_);
    bulk_edits_.clear();
    std::vector<std::vector<Cell>>().swap(bulk_columns_);
}

void ResultTable::MakeFixedHeaders() {
    if (row_count_ == 0) AddEmptyRow(0, table_defaults::kRowHeight);
    fixed_row_count_ = 1;
    if (column_count_ == 0) AddEmptyColumn(0, table_defaults::kColumnWidth);
    fixed_column_count_ = 1;
}

void ResultTable::AddEmptyRow(int row, int height_if_first) {
    if (row_count_ == 0) row_height_ = height_if_first;
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0)),
                  static_cast<std::size_t>(column_count_), Cell{});
    ++row_count_;
}

void ResultTable::AddEmptyColumn(int column, int width) {
    CellGrid widened;
    widened.reserve(static_cast<std::size_t>(row_count_) *
                    static_cast<std::size_t>(column_count_ + 1));
    for (int row = 0; row < row_count_; ++row) {
        const auto start = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
        widened.insert(widened.end(), start, start + column);
        widened.push_back(Cell{});
        widened.insert(widened.end(), start + column, start + column_count_);
    }
    cells_ = std::move(widened);
    column_widths_.insert(column_widths_.begin() + column, width);
    ++column_count_;
}

void ResultTable::StoreText(Cell& cell, std::string_view text) {
    // The text may be a view of this very arena (a cell copied to another), so its place is
    // taken before the append that may move the arena.
    const std::uintptr_t text_address = reinterpret_cast<std::uintptr_t>(text.data());
    const std::uintptr_t arena_address = reinterpret_cast<std::uintptr_t>(arena_.data());
    const bool inside_arena = !text.empty() && text_address >= arena_address &&
                              text_address < arena_address + arena_.size();
    Abandon(cell);
    cell = Cell{};
    if (text.empty()) return;
    const auto offset = static_cast<std::int64_t>(arena_.size());
    if (inside_arena) {
        arena_.append(arena_, text_address - arena_address, text.size());
    } else {
        arena_.append(text);
    }
    cell.offset = offset;
    cell.length = static_cast<std::int64_t>(text.size());
}

void ResultTable::Abandon(const Cell& cell) {
    if (!cell.in_source) arena_garbage_ += cell.length;
}

void ResultTable::CompactArenaIfWasteful() {
    const auto arena_size = static_cast<std::int64_t>(arena_.size());
    if (arena_garbage_ < kMinGarbageToCompact || arena_garbage_ * 2 < arena_size) return;
    std::string compact;
    compact.reserve(static_cast<std::size_t>(arena_size - arena_garbage_));
    const auto move_text = [&](Cell& cell) {
        if (cell.in_source || cell.length == 0) return;
        const std::string_view text = TextOf(cell);
        cell.offset = static_cast<std::int64_t>(compact.size());
        compact.append(text);
    };
    std::for_each(cells_.begin(), cells_.end(), move_text);
    for (auto& [index, cell] : bulk_edits_) move_text(cell);
    for (std::vector<Cell>& column : bulk_columns_)
        std::for_each(column.begin(), column.end(), move_text);
    arena_ = std::move(compact);
    arena_garbage_ = 0;
}

void ResultTable::DetachFromSource() {
    for (Cell& cell : cells_) {
        if (!cell.in_source) continue;
        const std::string_view text = TextOf(cell);  // stays valid: the source is not the arena
        cell = Cell{};
        StoreText(cell, text);
    }
}

}  // namespace lintaro
