// The records of many matches in fixed-size chunks, so that a growing result is never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "match/search_result.h"
#include "match/span_store_pool.h"

namespace lintaro {

// Matches of G + 1 records each, appended in order. A full chunk stays where it is and a new
// one is begun, so a result of millions of matches costs no copying and no doubled memory
// while it grows; the chunks then move into a SearchResults as they are. The records are stored
// in width, which must be that of the results they move into.
class SpanChunks {
  public:
    // pool, if given, provides the room of the chunks.
    SpanChunks(int group_count, RecordWidth width, SpanStorePool* pool = nullptr);

    std::int64_t MatchCount() const { return match_count_; }
    // Appends a match; records holds its G + 1 records.
    void Append(std::span<const SubMatchSpan> records);
    // Record 0 (the whole match) of a match.
    SubMatchSpan WholeMatch(std::int64_t match) const;
    // Moves the matches from first on to the end of results, leaving this empty.
    void MoveInto(SearchResults& results, std::int64_t first);

  private:
    RecordWidth width_;
    std::size_t match_words_;    // words of one match's records
    std::size_t chunk_matches_;  // matches in a full chunk
    SpanStorePool* pool_;
    std::vector<SpanStore> chunks_;
    std::int64_t match_count_ = 0;
};

}  // namespace lintaro
