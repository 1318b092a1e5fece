// Where the matches of one search lie in the searched text, stored flat for all matches.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

// The bytes of the whole match or of one group. A group that took no part in the match has
// length -1; its offset then means nothing.
struct SubMatchSpan {
    std::int64_t offset = 0;
    std::int64_t length = -1;

    bool matched() const { return length >= 0; }
};

// One match: record 0 is the whole match, record j the j-th capturing group. A view into the
// SearchResults that holds it.
class SearchResult {
  public:
    explicit SearchResult(std::span<const SubMatchSpan> spans) : spans_(spans) {}

    // Records 0 .. G; an index outside them gives an unmatched record.
    SubMatchSpan Span(int index) const;
    // The whole match cut out of text, which must be the searched text.
    std::string_view GetMatchText(std::string_view text) const { return GetSubMatchText(text, 0); }
    // Record index cut out of text: empty when the record did not match, is empty, or lies
    // outside text.
    std::string_view GetSubMatchText(std::string_view text, int index) const;

  private:
    std::span<const SubMatchSpan> spans_;
};

// All matches of one search in the order they were found, G + 1 records per match in one
// array, and whether the engine gave up before the end of the text.
class SearchResults {
  public:
    explicit SearchResults(int group_count = 0) : group_count_(group_count) {}

    std::int64_t size() const {
        return static_cast<std::int64_t>(spans_.size()) / (group_count_ + 1);
    }
    bool empty() const { return spans_.empty(); }
    SearchResult operator[](std::int64_t match) const;
    int GroupCount() const { return group_count_; }

    // Adds a match whose G + 1 records are all unmatched and returns them to be filled in.
    std::span<SubMatchSpan> AppendMatch();

    // Set when an engine error (complexity or stack limit, memory) ended the search early;
    // the matches found before it stay.
    bool EngineGaveUp() const { return engine_gave_up_; }
    const std::string& EngineMessage() const { return engine_message_; }
    void SetEngineGaveUp(std::string message);

  private:
    int group_count_;
    std::vector<SubMatchSpan> spans_;
    bool engine_gave_up_ = false;
    std::string engine_message_;
};

}  // namespace lintaro
