// What a format's writer works with: the cells to export, the text it appends to, and the
// pacing from row to row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/huge_pages.h"
#include "base/work_progress.h"
#include "export/export_sink.h"
#include "export/replace_pairs.h"
#include "table/column_roles.h"
#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// One export's inputs and its sink. Creating it starts progress (when given) at the selection's
// row count; Finish hands the rest of the text on and reports every row as done.
class ExportContext {
  public:
    ExportContext(const ResultTable& table, SelectionRect selection, const ColumnRoles& roles,
                  ExportSink& sink, WorkProgress* progress);

    const SelectionRect& Selection() const { return selection_; }
    const ColumnRoles& Roles() const { return roles_; }
    // The text of a cell; the empty text for a cell outside the table (a column role may name
    // any column, a selection any row).
    std::string_view Cell(int row, int column) const;
    // The text the writer appends to: the sink's.
    std::string& Text() { return text_; }

    // Rows and columns of the selection.
    std::size_t RowCount() const;
    std::size_t ColumnCount() const;
    // Bytes that the cells in rows first..last and columns first..last take, escaped by
    // replacer when given, for reserving the text in one go.
    std::size_t CellBytes(int first_row, int last_row, int first_column, int last_column,
                          const PairReplacer* replacer = nullptr) const;

    // A sink that keeps the whole text gets its size, bytes(), reserved up front. Such a
    // large text is written once, front to back: huge pages spare it most page faults.
    template <typename Bytes>
    void ReserveWhole(const Bytes& bytes) {
        if (!sink_.KeepsWholeText()) return;
        text_.reserve(bytes());
        AdviseHugePages(text_.data(), text_.capacity());
    }

    // Calls write_row(row) for each selected row in order and lets the sink hand the text on
    // after it. Stops before the next row once the sink has failed or a cancel is requested.
    template <typename WriteRow>
    void ForEachRow(const WriteRow& write_row) {
        for (int row = selection_.first_row; row <= selection_.last_row && GoOn(row); ++row) {
            write_row(row);
            sink_.RowDone();
        }
    }

    void Finish();

  private:
    // Reports the rows before row as done, a batch at a time, and tells whether to go on.
    bool GoOn(int row);

    const ResultTable& table_;
    const SelectionRect selection_;
    const ColumnRoles& roles_;
    WorkProgress* const progress_;
    std::int64_t reported_rows_ = 0;
    ExportSink& sink_;
    std::string& text_;  // the sink's text
};

}  // namespace lintaro
