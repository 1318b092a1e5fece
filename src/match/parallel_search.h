// The search loop over a whole text, split into parts that threads search at the same time and
// joined into exactly the result of searching alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/text_buffer.h"
#include "base/work_progress.h"
#include "match/search_cursor.h"
#include "match/search_result.h"

namespace lintaro {

// Texts shorter than this are searched by one thread: starting threads would cost more than
// they save.
inline constexpr std::int64_t kParallelTextSize = std::int64_t{1} << 20;

// The most text one part of a search covers when the search hands its matches over.
inline constexpr std::int64_t kHandOverPartBytes = std::int64_t{1} << 20;

// How a search finds the places a match can begin before it asks the engine.
enum class StartSkip {
    kAuto,            // as kEachCandidate while few candidates fail, else kFirstCandidate
    kNone,            // the engine tries every place itself
    kFirstCandidate,  // skip to the first candidate, then the engine goes on from there
    kEachCandidate,   // the engine tries only the candidates, one at a time
};

struct SearchOptions {
    // How many parts the text is split into; 0 chooses one per thread for a text of at least
    // kParallelTextSize bytes and a single part below that.
    int parts = 0;
    // How many threads search the parts, the calling one included; 0 means one per processor
    // this process may run on (AvailableProcessors).
    int threads = 0;
    // Every way gives the same matches; kAuto is the fastest.
    StartSkip skip = StartSkip::kAuto;
    // The text being searched when it is a mapped file, which can lose pages while it is
    // searched (see TextBuffer::LostFrom). Lost pages cut the text: the threads stop as soon as
    // their search reaches them, and the result is that of the text before the file's new end.
    const TextBuffer* mapped_text = nullptr;
    // When set, the matches go to it in order, a batch at a time, as soon as they are joined,
    // and the result keeps none of them: only how the search ended. The threads then search
    // at most a few parts of kHandOverPartBytes ahead of the part being joined, so that the
    // matches held at once stay few, whatever their number.
    std::function<void(const SearchResults& batch)> hand_over = {};
};

// Makes a cursor for one thread.
using CursorFactory = std::function<std::unique_ptr<SearchCursor>()>;

// Every match of the search loop over a text of text_size bytes (at least 1): search from the
// start of the text, and after each match again from its end, until a search finds nothing,
// finds an empty match where it began (which is kept), or fails (the failure is recorded and
// the matches before it are kept). When progress is given, the searching threads update it and
// stop early on its cancel request; the result is then the part of the full result found so far.
// Its records are stored in RecordWidthFor(text_size).
SearchResults SearchInParts(std::int64_t text_size, int group_count,
                            const CursorFactory& new_cursor, const SearchOptions& options,
                            WorkProgress* progress);

}  // namespace lintaro
