// The records of many matches in fixed-size chunks, so that a growing result is never copied.
#include "match/span_chunks.h"

#include <algorithm>
#include <utility>

namespace lintaro {

namespace {

// Records in a full chunk: eight megabytes, a few huge pages (see AllocateHugePageMemory).
constexpr std::size_t kChunkRecords = std::size_t{1} << 19;

}  // namespace

SpanChunks::SpanChunks(int group_count)
    : stride_(static_cast<std::size_t>(group_count) + 1),
      chunk_matches_(std::max<std::size_t>(1, kChunkRecords / stride_)) {}

void SpanChunks::Append(std::span<const SubMatchSpan> records) {
    const std::size_t chunk_records = chunk_matches_ * stride_;
    if (chunks_.empty() || chunks_.back().size() == chunk_records) chunks_.emplace_back();
    SpanStore& chunk = chunks_.back();
    if (chunk.capacity() - chunk.size() < stride_) {
        // The first chunk grows as needed, so that a small result stays small; once a result
        // has filled one chunk, it is likely to fill more, and the next ones start full size.
        const std::size_t grown =
            chunks_.size() > 1 ? chunk_records : 2 * chunk.capacity() + stride_;
        chunk.reserve(std::min(grown, chunk_records));
    }
    chunk.insert(chunk.end(), records.begin(), records.end());
    ++match_count_;
}

const SubMatchSpan& SpanChunks::WholeMatch(std::int64_t match) const {
    const auto index = static_cast<std::size_t>(match);
    return chunks_[index / chunk_matches_][index % chunk_matches_ * stride_];
}

void SpanChunks::MoveInto(SearchResults& results, std::int64_t first) {
    const auto skipped = static_cast<std::size_t>(std::max<std::int64_t>(first, 0));
    for (std::size_t k = skipped / chunk_matches_; k < chunks_.size(); ++k) {
        const std::size_t first_in_chunk =
            k == skipped / chunk_matches_ ? skipped % chunk_matches_ : 0;
        results.AppendMatches(std::move(chunks_[k]), static_cast<std::int64_t>(first_in_chunk));
    }
    chunks_.clear();
    match_count_ = 0;
}

}  // namespace lintaro
