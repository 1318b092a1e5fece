// What a format's writer works with: the cells to export, the text it appends to, and the
// pacing from row to row.
#include "export/export_context.h"

#include <algorithm>

namespace lintaro {

ExportContext::ExportContext(const ResultTable& table, SelectionRect selection,
                             const ColumnRoles& roles, ExportSink& sink, WorkProgress* progress)
    : table_(table),
      selection_(selection),
      roles_(roles),
      progress_(progress),
      sink_(sink),
      text_(sink.Text()) {
    if (progress_ != nullptr) progress_->Start(static_cast<std::int64_t>(RowCount()));
}

std::string_view ExportContext::Cell(int row, int column) const {
    return table_.GetCell(row, column).value_or(std::string_view());
}

std::size_t ExportContext::RowCount() const {
    return selection_.last_row < selection_.first_row
               ? 0
               : static_cast<std::size_t>(selection_.last_row - selection_.first_row) + 1;
}

std::size_t ExportContext::ColumnCount() const {
    return selection_.last_column < selection_.first_column
               ? 0
               : static_cast<std::size_t>(selection_.last_column - selection_.first_column) + 1;
}

std::size_t ExportContext::CellBytes(int first_row, int last_row, int first_column, int last_column,
                                     const PairReplacer* replacer) const {
    // Only cells that exist hold bytes; a column role may name any number at all.
    first_row = std::max(first_row, 0);
    last_row = std::min(last_row, table_.RowCount() - 1);
    first_column = std::max(first_column, 0);
    last_column = std::min(last_column, table_.ColumnCount() - 1);
    std::size_t bytes = 0;
    for (int row = first_row; row <= last_row; ++row) {
        for (int column = first_column; column <= last_column; ++column) {
            const std::string_view text = Cell(row, column);
            bytes += replacer != nullptr ? replacer->EstimateReplacedSize(text) : text.size();
        }
    }
    return bytes;
}

void ExportContext::Finish() {
    sink_.Flush();
    if (progress_ != nullptr) {
        progress_->Add(static_cast<std::int64_t>(RowCount()) - reported_rows_, 0);
    }
}

bool ExportContext::GoOn(int row) {
    constexpr int kRowsPerReport = 4096;
    if (sink_.Error()) return false;
    if (progress_ == nullptr || (row - selection_.first_row) % kRowsPerReport != 0) return true;
    if (row != selection_.first_row) {
        progress_->Add(kRowsPerReport, 0);
        reported_rows_ += kRowsPerReport;
    }
    return !progress_->CancelRequested();
}

}  // namespace lintaro
