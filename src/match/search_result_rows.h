// The search results as the rows a result table reads its match cells from.
#pragma once

#include <cstdint>
#include <memory>

#include "match/search_result.h"
#include "table/result_table.h"

namespace lintaro {

// Row r is match r: span 0 its whole match, span j its j-th group; a group that took no part
// shows as an empty cell.
class SearchResultRows : public SourceRows {
  public:
    explicit SearchResultRows(std::shared_ptr<const SearchResults> results)
        : results_(std::move(results)) {}

    std::int64_t RowCount() const override { return results_->size(); }
    int SpansPerRow() const override { return results_->GroupCount() + 1; }
    SourceSpan Span(std::int64_t row, int k) const override;
    void Prefetch(std::int64_t row) const override { results_->Prefetch(row); }

  private:
    std::shared_ptr<const SearchResults> results_;
};

}  // namespace lintaro
