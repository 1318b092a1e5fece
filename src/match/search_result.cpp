// Where the matches of one search lie in the searched text, stored flat for all matches.
#include "match/search_result.h"

#include <algorithm>
#include <utility>

namespace lintaro {

SubMatchSpan SearchResult::Span(int index) const {
    if (index < 0) return {};
    const std::size_t first_word = static_cast<std::size_t>(index) * WordsPerRecord(width_);
    if (first_word >= words_.size()) return {};
    return DecodeRecord(words_.data() + first_word, width_);
}

std::string_view SearchResult::GetSubMatchText(std::string_view text, int index) const {
    const SubMatchSpan span = Span(index);
    // A text shorter than the record would be a caller's mistake; never read past it.
    const auto size = static_cast<std::int64_t>(text.size());
    if (span.length <= 0 || span.offset < 0 || span.offset > size - span.length) return {};
    return text.substr(static_cast<std::size_t>(span.offset),
                       static_cast<std::size_t>(span.length));
}

std::span<const std::uint32_t> SearchResults::MatchRecords(std::int64_t match) const {
    // The last segment whose first match is not beyond the one asked for.
    const auto segment =
        std::prev(std::upper_bound(segments_.begin(), segments_.end(), match,
                                   [](std::int64_t wanted, const Segment& candidate) {
                                       return wanted < candidate.first_match;
                                   }));
    const std::size_t word =
        segment->first_word + static_cast<std::size_t>(match - segment->first_match) * MatchWords();
    return std::span(segment->words).subspan(word, MatchWords());
}

SearchResult SearchResults::operator[](std::int64_t match) const {
    return SearchResult(MatchRecords(match), width_);
}

void SearchResults::Prefetch(std::int64_t match) const {
    const std::span<const std::uint32_t> records = MatchRecords(match);
    __builtin_prefetch(records.data());
    __builtin_prefetch(&records.back());
}

void SearchResults::AppendMatches(SpanStore store, std::int64_t first) {
    const std::size_t first_word = static_cast<std::size_t>(first) * MatchWords();
    if (first_word >= store.size()) return;
    const auto count = static_cast<std::int64_t>((store.size() - first_word) / MatchWords());
    segments_.push_back({std::move(store), first_word, size_});
    size_ += count;
}

SearchResults SearchResults::TakeMatches() {
    SearchResults taken(group_count_, width_);
    taken.segments_ = std::exchange(segments_, {});
    taken.size_ = std::exchange(size_, 0);
    return taken;
}

std::vector<SpanStore> SearchResults::TakeStores() {
    std::vector<SpanStore> stores;
    stores.reserve(segments_.size());
    for (Segment& segment : segments_) stores.push_back(std::move(segment.words));
    segments_.clear();
    size_ = 0;
    return stores;
}

void SearchResults::KeepFirst(std::int64_t count) {
    if (count >= size_) return;
    count = std::max<std::int64_t>(count, 0);
    while (!segments_.empty() && segments_.back().first_match >= count) segments_.pop_back();
    if (!segments_.empty()) {
        Segment& last = segments_.back();
        last.words.resize(last.first_word +
                          static_cast<std::size_t>(count - last.first_match) * MatchWords());
    }
    size_ = count;
}

void SearchResults::VisitRecords(
    std::int64_t first, const std::function<void(std::span<const std::uint32_t>)>& visit) const {
    for (const Segment& segment : segments_) {
        const auto count =
            static_cast<std::int64_t>((segment.words.size() - segment.first_word) / MatchWords());
        const std::int64_t skipped =
            std::clamp<std::int64_t>(first - segment.first_match, 0, count);
        if (skipped == count) continue;
        visit(std::span(segment.words)
                  .subspan(segment.first_word + static_cast<std::size_t>(skipped) * MatchWords()));
    }
}

void SearchResults::SetEngineGaveUp(std::string message, EngineStop reason) {
    engine_stop_ = reason;
    engine_message_ = std::move(message);
}

}  // namespace lintaro
