// The records of many matches in fixed-size chunks, so that a growing result is never copied.
#include "match/span_chunks.h"

#include <algorithm>
#include <utility>

namespace lintaro {

namespace {

// Words in a full chunk: eight megabytes, a few huge pages (see AllocateHugePageMemory).
constexpr std::size_t kChunkWords = std::size_t{1} << 21;

}  // namespace

SpanChunks::SpanChunks(int group_count, RecordWidth width, SpanStorePool* pool)
    : width_(width),
      match_words_((static_cast<std::size_t>(group_count) + 1) * WordsPerRecord(width)),
      chunk_matches_(std::max<std::size_t>(1, kChunkWords / match_words_)),
      pool_(pool) {}

void SpanChunks::Append(std::span<const SubMatchSpan> records) {
    const std::size_t chunk_words = chunk_matches_ * match_words_;
    if (chunks_.empty() || chunks_.back().size() == chunk_words) {
        chunks_.push_back(pool_ != nullptr ? pool_->Take() : SpanStore());
    }
    SpanStore& chunk = chunks_.back();
    if (chunk.capacity() - chunk.size() < match_words_) {
        // The first chunk grows as needed, so that a small result stays small; once a result
        // has filled one chunk, it is likely to fill more, and the next ones start full size.
        const std::size_t grown =
            chunks_.size() > 1 ? chunk_words : 2 * chunk.capacity() + match_words_;
        chunk.reserve(std::min(grown, chunk_words));
    }
    const std::size_t first_word = chunk.size();
    chunk.resize(first_word + match_words_);
    EncodeRecords(records.first(match_words_ / WordsPerRecord(width_)), width_,
                  chunk.data() + first_word);
    ++match_count_;
}

SubMatchSpan SpanChunks::WholeMatch(std::int64_t match) const {
    const auto index = static_cast<std::size_t>(match);
    return DecodeRecord(
        chunks_[index / chunk_matches_].data() + index % chunk_matches_ * match_words_, width_);
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
