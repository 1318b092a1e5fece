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
//
// Why forking this process, which has threads, is safe. The child holds only the thread that
// forked, so a lock another thread held at that moment stays held in the child for good. The
// child reads the text and the compiled expression, allocates (cursors, the engine's memory,
// match records), starts and joins threads of its own with mutexes it makes itself, throws
// and catches exceptions, writes its pipe and the shared progress block, and ends with _exit
// (no destructor or atexit handler of this process runs in it). It touches no Qt, stdio,
// iconv, environment or locale being made. What it does use is made safe by glibc (2.36 on
// Debian 12): fork takes the allocator's locks and resets them in the child, with the dynamic
// loader's locks, the stdio list and the cache of thread stacks; exceptions find their frames
// through _dl_find_object, which takes no lock. The other threads here at the fork (the
// window's GUI thread, Qt's own) do not search, so no static of the search can be half made.
// The risk left: an allocator with no fork handlers (one put in with LD_PRELOAD, or the
// sanitizer build's: clang 14's AddressSanitizer installs none) that another thread held at
// the fork. The child would then wait for ever before sending anything, which looks like an
// endless search: Cancel, --timeout and the end of this process end it as they end any
// search, and this process loses nothing, as the child writes no memory it shares but the
// progress block.
SearchResults SearchInWorker(const regex& expression, std::string_view text,
                             const SearchOptions& options, WorkProgress& progress);

}  // namespace lintaro
