// One thread's access to the regular-expression engine: single searches from chosen starts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "match/search_result.h"

namespace lintaro {

// Searches one text, one search at a time. Each search treats its own start as the start of a
// text, so its result depends on that start alone; this is what lets separate threads search
// parts of the text and their results be joined. Not for use by two threads at once.
class SearchCursor {
  public:
    enum class Outcome {
        kMatch,
        kNoMatch,
        // No match begins from the search's start up to and including its limit, and the
        // search would go on exactly as a search begun at the limit (which finds no match
        // beginning there): what follows is left to that search.
        kNoMatchUpToLimit,
        kEngineError,
    };

    virtual ~SearchCursor() = default;
    // Searches from start to the end of the text. On kMatch, fills spans (one record for the
    // whole match and one per group) with offsets from the start of the whole text. A cursor
    // may give kNoMatchUpToLimit once the places it tries pass limit (above start), where a
    // thread searching a later part of the text takes over; INT64_MAX asks for the whole search.
    virtual Outcome SearchFrom(std::int64_t start, std::int64_t limit,
                               std::span<SubMatchSpan> spans) = 0;
    // The engine's message after kEngineError.
    virtual const std::string& ErrorMessage() const = 0;
};

}  // namespace lintaro
