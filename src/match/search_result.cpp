// Where the matches of one search lie in the searched text, stored flat for all matches.
#include "match/search_result.h"

#include <utility>

namespace lintaro {

SubMatchSpan SearchResult::Span(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= spans_.size()) return {};
    return spans_[static_cast<std::size_t>(index)];
}

std::string_view SearchResult::GetSubMatchText(std::string_view text, int index) const {
    const SubMatchSpan span = Span(index);
    // A text shorter than the record would be a caller's mistake; never read past it.
    const auto size = static_cast<std::int64_t>(text.size());
    if (span.length <= 0 || span.offset < 0 || span.offset > size - span.length) return {};
    return text.substr(static_cast<std::size_t>(span.offset),
                       static_cast<std::size_t>(span.length));
}

SearchResult SearchResults::operator[](std::int64_t match) const {
    const auto stride = static_cast<std::size_t>(group_count_) + 1;
    return SearchResult(
        std::span(spans_).subspan(static_cast<std::size_t>(match) * stride, stride));
}

std::span<SubMatchSpan> SearchResults::AppendMatch() {
    const auto stride = static_cast<std::size_t>(group_count_) + 1;
    spans_.resize(spans_.size() + stride);
    return std::span(spans_).last(stride);
}

void SearchResults::SetEngineGaveUp(std::string message) {
    engine_gave_up_ = true;
    engine_message_ = std::move(message);
}

}  // namespace lintaro
