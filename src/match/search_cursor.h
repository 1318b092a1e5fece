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
    enum class Outcome { kMatch, kNoMatch, kEngineError };

    virtual ~SearchCursor() = default;
    // Searches from start to the end of the text. On kMatch, fills spans (one record for the
    // whole match and one per group) with offsets from the start of the whole text.
    virtual Outcome SearchFrom(std::int64_t start, std::span<SubMatchSpan> spans) = 0;
    // The engine's message after kEngineError.
    virtual const std::string& ErrorMessage() const = 0;
};

}  // namespace lintaro
