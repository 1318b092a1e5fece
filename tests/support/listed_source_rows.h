// Source rows given as a list of spans per row, for tests of the table's bulk rows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "table/result_table.h"

namespace lintaro {

// Each row holds the spans listed for it; a row with fewer than the most spans of any row
// shows the empty span in the others.
class ListedSourceRows : public SourceRows {
  public:
    explicit ListedSourceRows(std::vector<std::vector<SourceSpan>> rows) : rows_(std::move(rows)) {
        for (const auto& row : rows_) spans_ = std::max(spans_, static_cast<int>(row.size()));
    }

    std::int64_t RowCount() const override { return static_cast<std::int64_t>(rows_.size()); }
    int SpansPerRow() const override { return spans_; }
    SourceSpan Span(std::int64_t row, int k) const override {
        const auto& spans = rows_[static_cast<std::size_t>(row)];
        return static_cast<std::size_t>(k) < spans.size() ? spans[static_cast<std::size_t>(k)]
                                                          : SourceSpan{};
    }

  private:
    std::vector<std::vector<SourceSpan>> rows_;
    int spans_ = 0;
};

}  // namespace lintaro
