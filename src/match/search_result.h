// Where the matches of one search lie in the searched text, stored flat for all matches.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/huge_pages.h"
#include "match/span_record.h"

namespace lintaro {

// The records of consecutive matches, G + 1 per match, one after another, each encoded in
// WordsPerRecord words (see EncodeRecord). A million matches fill tens of megabytes, hence the
// huge pages.
using SpanStore = std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>>;

// One match: record 0 is the whole match, record j the j-th capturing group. A view into the
// SearchResults that holds it.
class SearchResult {
  public:
    // words holds the match's records, encoded in width.
    SearchResult(std::span<const std::uint32_t> words, RecordWidth width)
        : words_(words), width_(width) {}

    // Records 0 .. G; an index outside them gives an unmatched record.
    SubMatchSpan Span(int index) const;
    // The whole match cut out of text, which must be the searched text.
    std::string_view GetMatchText(std::string_view text) const { return GetSubMatchText(text, 0); }
    // Record index cut out of text: empty when the record did not match, is empty, or lies
    // outside text.
    std::string_view GetSubMatchText(std::string_view text, int index) const;

  private:
    std::span<const std::uint32_t> words_;
    RecordWidth width_;
};

// Why the engine ended a search before the end of the text.
enum class EngineStop : std::uint32_t {
    kNone,
    kGaveUp,       // a complexity or stack limit: the engine's message says which
    kOutOfMemory,  // memory ran out during the search
};

// All matches of one search in the order they were found, and whether the search ended before
// the end of the text. The records are kept in a few stores taken over from the threads that
// found them, so that joining their work copies nothing. All its stores hold records of one
// width, fixed when it is made; the wide default holds the records of any text.
class SearchResults {
  public:
    explicit SearchResults(int group_count = 0, RecordWidth width = RecordWidth::kWide)
        : group_count_(group_count), width_(width) {}

    std::int64_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    SearchResult operator[](std::int64_t match) const;
    // Asks memory for a match's records ahead of reading them.
    void Prefetch(std::int64_t match) const;
    int GroupCount() const { return group_count_; }
    RecordWidth Width() const { return width_; }

    // Adds the matches of store (G + 1 records each, in Width()) from match first on, taking
    // the store over.
    void AppendMatches(SpanStore store, std::int64_t first);
    // Keeps the first count matches and drops the rest.
    void KeepFirst(std::int64_t count);
    // Moves the matches into a result of their own, which says nothing of how the search ended,
    // and leaves none here.
    SearchResults TakeMatches();
    // Moves the stores of the matches out, for their room to be filled again, and leaves no
    // matches here.
    std::vector<SpanStore> TakeStores();
    // Calls visit with the stored words of the matches from match first on, in order, as the
    // few runs of consecutive records they are stored in.
    void VisitRecords(std::int64_t first,
                      const std::function<void(std::span<const std::uint32_t>)>& visit) const;

    // Set when the engine ended the search early (see EngineStop); the matches found before
    // it stay.
    bool EngineGaveUp() const { return engine_stop_ != EngineStop::kNone; }
    EngineStop EngineStopReason() const { return engine_stop_; }
    const std::string& EngineMessage() const { return engine_message_; }
    void SetEngineGaveUp(std::string message, EngineStop reason = EngineStop::kGaveUp);
    // Set when the search was cancelled; the matches found before it stay.
    bool Cancelled() const { return cancelled_; }
    void SetCancelled() { cancelled_ = true; }

  private:
    struct Segment {
        SpanStore words;
        std::size_t first_word = 0;    // words before it belong to no match of this result
        std::int64_t first_match = 0;  // the index in this result of its first match
    };

    // The stored words of a match's records.
    std::span<const std::uint32_t> MatchRecords(std::int64_t match) const;
    std::size_t MatchWords() const {
        return (static_cast<std::size_t>(group_count_) + 1) * WordsPerRecord(width_);
    }

    int group_count_;
    RecordWidth width_;
    std::vector<Segment> segments_;
    std::int64_t size_ = 0;
    EngineStop engine_stop_ = EngineStop::kNone;
    std::string engine_message_;
    bool cancelled_ = false;
};

}  // namespace lintaro
