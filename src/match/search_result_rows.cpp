// The search results as the rows a result table reads its match cells from.
#include "match/search_result_rows.h"

namespace lintaro {

SourceSpan SearchResultRows::Span(std::int64_t row, int k) const {
    const SubMatchSpan span = (*results_)[row].Span(k);
    return span.matched() ? SourceSpan{span.offset, span.length} : SourceSpan{};
}

}  // namespace lintaro
