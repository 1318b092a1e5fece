// Searching in a child process that can be ended at any moment, however long one engine call
// takes, keeping the matches it has reported by then.
#pragma once

#include <string_view>

#include "base/work_progress.h"
#include "match/parallel_search.h"
#include "match/regex.h"
#include "match/search_result.h"

namespace lintaro {

// The result of expression.SearchAll(text, options) searched by a forked child process, which
// shares text with this one and streams the matches back as they become final. progress shows
// how far the child has come; its cancel request is looked at at least every 100 ms, and then
// the child is killed and the matches that arrived are the result, marked cancelled. A child
// that dies (a signal, an engine that ran out of stack) gives the matches that arrived and an
// engine that gave up with a message saying so. Throws std::bad_alloc when the matches do not
// fit in memory here; the child is ended first.
SearchResults SearchInWorker(const regex& expression, std::string_view text,
                             const SearchOptions& options, WorkProgress& progress);

}  // namespace lintaro
