// The search loop over a whole text, split into parts that threads search at the same time and
// joined into exactly the result of searching alone.
//
// The loop's only state is where its next search starts, and a search's result depends on that
// start alone. So each thread runs the loop from the start of its own part until the loop
// leaves the part, remembering the chain of starts it went through. Joining continues the true
// loop (which begins with part 0's chain) from where it left one part; as soon as it reaches a
// start that the next part's chain also went through, the two chains agree from there on, and
// that part's matches are taken as they are. In practice that happens after a match or two.
#include "match/parallel_search.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/processors.h"
#include "match/part_queue.h"
#include "match/span_chunks.h"

namespace lintaro {

namespace {

// Threads publish their progress after this many bytes, not at every match, so that they do
// not fight over the shared counters.
constexpr std::int64_t kProgressBatchBytes = std::int64_t{1} << 18;

// How a part's chain of searches ended.
enum class PartEnd {
    kLeftPart,         // the next start lies in a later part: not searched here
    kReachedNextPart,  // the last search found no match up to the next part's begin, and goes
                       // on as the search begun there
    kNoMatch,          // the last search found nothing
    kEmptyMatch,       // the last match was empty where its search began
    kEngineError,      // the last search failed
    kCancelled,        // stopped before the next search
    kTextLost,         // stopped before the next search, which would begin in lost pages
};

// What one thread found from the start of one part.
struct PartRun {
    PartRun(int group_count, RecordWidth width, SpanStorePool* pool)
        : matches(group_count, width, pool) {}

    std::int64_t begin = 0;  // its first search start
    bool searched = false;   // false: no thread got to it, and its chain is empty
    SpanChunks matches;      // in order
    PartEnd end = PartEnd::kNoMatch;
    // The start after the last match (or begin): not searched for kLeftPart, kCancelled and
    // kTextLost, the start of the last search for kReachedNextPart, kNoMatch and kEngineError.
    std::int64_t next_start = 0;
    std::string error;                      // kEngineError: the engine's message
    EngineStop stop = EngineStop::kGaveUp;  // kEngineError: why
};

// One turn of the loop.
struct Step {
    PartEnd end = PartEnd::kLeftPart;  // kLeftPart: the loop goes on at next_start
    std::int64_t next_start = 0;
};

// Searches from start, appending a match to matches; the search may stop once it passes limit
// (see SearchCursor). records has room for one match.
Step SearchStep(SearchCursor& cursor, std::int64_t start, std::int64_t limit,
                std::span<SubMatchSpan> records, SpanChunks& matches) {
    switch (cursor.SearchFrom(start, limit, records)) {
        case SearchCursor::Outcome::kMatch:
            break;
        case SearchCursor::Outcome::kNoMatch:
            return {PartEnd::kNoMatch, start};
        case SearchCursor::Outcome::kNoMatchUpToLimit:
            return {PartEnd::kReachedNextPart, start};
        case SearchCursor::Outcome::kEngineError:
            return {PartEnd::kEngineError, start};
    }
    matches.Append(records);
    const std::int64_t match_end = records[0].offset + records[0].length;
    // An empty match where the search began would be found again forever.
    if (match_end == start) return {PartEnd::kEmptyMatch, start};
    return {PartEnd::kLeftPart, match_end};
}

// Publishes a thread's progress in batches.
class ProgressBatch {
  public:
    explicit ProgressBatch(WorkProgress* progress) : progress_(progress) {}
    ~ProgressBatch() { Publish(); }
    ProgressBatch(const ProgressBatch&) = delete;
    ProgressBatch& operator=(const ProgressBatch&) = delete;

    void Add(std::int64_t bytes, std::int64_t matches) {
        bytes_ += bytes;
        matches_ += matches;
        if (bytes_ >= kProgressBatchBytes) Publish();
    }
    bool CancelRequested() const { return progress_ != nullptr && progress_->CancelRequested(); }

  private:
    void Publish() {
        if (progress_ != nullptr && (bytes_ > 0 || matches_ > 0)) progress_->Add(bytes_, matches_);
        bytes_ = 0;
        matches_ = 0;
    }

    WorkProgress* progress_;
    std::int64_t bytes_ = 0;
    std::int64_t matches_ = 0;
};

// Where the text's lost pages begin as far as reads have found them; beyond the text (where no
// search starts) while none is lost or the text is not mapped.
std::int64_t LostFrom(const SearchOptions& options, std::int64_t text_size) {
    const std::int64_t lost_from = options.mapped_text != nullptr
                                       ? static_cast<std::int64_t>(options.mapped_text->LostFrom())
                                       : text_size;
    return lost_from < text_size ? lost_from : INT64_MAX;
}

// Runs the loop from run.begin until its next start reaches stop (the next part's begin) or
// the loop ends. Progress counts the bytes of [run.begin, part_end) behind the loop.
void SearchPart(PartRun& run, std::int64_t stop, std::int64_t part_end, SearchCursor& cursor,
                std::span<SubMatchSpan> records, WorkProgress* progress,
                const std::function<std::int64_t()>& lost_from) {
    run.searched = true;
    ProgressBatch batch(progress);
    std::int64_t start = run.begin;
    const auto finish = [&](PartEnd end, std::int64_t next_start) {
        run.end = end;
        run.next_start = next_start;
        if (end != PartEnd::kCancelled) batch.Add(part_end - std::min(start, part_end), 0);
    };
    try {
        while (true) {
            if (batch.CancelRequested()) return finish(PartEnd::kCancelled, start);
            // What the engine would find there comes from zeros, not from the file.
            if (start >= lost_from()) return finish(PartEnd::kTextLost, start);
            // The next part's thread searches from its begin: a search from here that finds
            // nothing before it may leave the rest to that one.
            const Step step = SearchStep(cursor, start, stop, records, run.matches);
            if (step.end == PartEnd::kEngineError) run.error = cursor.ErrorMessage();
            if (step.end == PartEnd::kEmptyMatch) batch.Add(0, 1);
            if (step.end != PartEnd::kLeftPart) return finish(step.end, step.next_start);
            batch.Add(std::min(step.next_start, part_end) - std::min(start, part_end), 1);
            start = step.next_start;
            if (start >= stop) return finish(PartEnd::kLeftPart, start);
        }
    } catch (const std::bad_alloc& error) {
        // Like an engine error it ends the loop.
        run.error = error.what();
        run.stop = EngineStop::kOutOfMemory;
        finish(PartEnd::kEngineError, start);
    }
}

// The index in run's chain of the search start start, if the chain went through it.
std::optional<std::int64_t> ChainIndex(const PartRun& run, std::int64_t start) {
    if (!run.searched) return std::nullopt;
    const std::int64_t matches = run.matches.MatchCount();
    // The start of search i: the part's begin, then the end of each match. After an empty match
    // where its search began, no search follows.
    const auto start_of = [&](std::int64_t i) {
        if (i == 0) return run.begin;
        const SubMatchSpan match = run.matches.WholeMatch(i - 1);
        return match.offset + match.length;
    };
    const std::int64_t chain_length = matches + (run.end == PartEnd::kEmptyMatch ? 0 : 1);
    // Starts only grow along a chain: search for the first one not below start.
    std::int64_t low = 0;
    std::int64_t high = chain_length;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (start_of(middle) < start) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < chain_length && start_of(low) == start) return low;
    return std::nullopt;
}

// Continues the true loop through the parts' chains, searching itself only between them, and
// starting no search at or after text_end(). Each part is awaited (await_part) before its chain
// is read, and queue is told as the join moves on. hand_over, when set, takes the matches
// joined so far whenever a part's are taken.
SearchResults JoinParts(std::vector<PartRun>& runs, PartQueue& queue,
                        const std::function<void(std::size_t)>& await_part, int group_count,
                        RecordWidth width, const CursorFactory& new_cursor, WorkProgress* progress,
                        const std::function<std::int64_t()>& text_end,
                        const std::function<void(SearchResults&)>& hand_over) {
    SearchResults results(group_count, width);
    SpanChunks own(group_count, width);  // matches found here since the last part was taken
    std::vector<SubMatchSpan> records(static_cast<std::size_t>(group_count) + 1);
    std::unique_ptr<SearchCursor> cursor;
    const auto take_own = [&] { own.MoveInto(results, 0); };
    std::int64_t start = 0;
    std::size_t part = 0;
    try {
        while (true) {
            // Parts that the loop passes over altogether hold nothing it needs.
            while (part + 1 < runs.size() && runs[part + 1].begin <= start) {
                await_part(part);
                runs[part].matches = SpanChunks(group_count, width);
                queue.Joining(++part);
            }
            await_part(part);
            PartRun& run = runs[part];
            if (const auto index = ChainIndex(run, start)) {
                take_own();
                run.matches.MoveInto(results, *index);
                if (hand_over) hand_over(results);
                switch (run.end) {
                    case PartEnd::kLeftPart:
                        // At or beyond the next part's begin, so never this part again.
                        start = run.next_start;
                        continue;
                    case PartEnd::kReachedNextPart:
                        // The search goes on as the one the next part's chain begins with.
                        start = runs[part + 1].begin;
                        continue;
                    case PartEnd::kNoMatch:
                    case PartEnd::kEmptyMatch:
                        break;
                    case PartEnd::kEngineError:
                        results.SetEngineGaveUp(run.error, run.stop);
                        break;
                    case PartEnd::kCancelled:
                        results.SetCancelled();
                        break;
                    case PartEnd::kTextLost:
                        break;
                }
                return results;
            }
            if (start >= text_end()) {
                take_own();
                return results;
            }
            if (progress != nullptr && progress->CancelRequested()) {
                take_own();
                results.SetCancelled();
                return results;
            }
            if (!cursor) cursor = new_cursor();
            const Step step = SearchStep(*cursor, start, INT64_MAX, records, own);
            const bool matched = step.end == PartEnd::kLeftPart || step.end == PartEnd::kEmptyMatch;
            if (matched && progress != nullptr) progress->Add(0, 1);
            if (step.end == PartEnd::kLeftPart) {
                start = step.next_start;
                continue;
            }
            take_own();
            if (step.end == PartEnd::kEngineError) results.SetEngineGaveUp(cursor->ErrorMessage());
            return results;
        }
    } catch (const std::bad_alloc& error) {
        // Like an engine error it ends the loop.
        take_own();
        results.SetEngineGaveUp(error.what(), EngineStop::kOutOfMemory);
        return results;
    }
}

// The file's new end when its pages are lost from lost_from on: the zeros that the page before
// holds past the end are no text, since a text that was searched holds no NUL byte.
// INT64_MAX while nothing is lost.
std::int64_t FileEndBefore(const SearchOptions& options, std::int64_t lost_from) {
    if (lost_from == INT64_MAX) return lost_from;
    const std::string_view text = options.mapped_text->View();
    std::int64_t end = lost_from;
    while (end > 0 && text[static_cast<std::size_t>(end) - 1] == '\0') --end;
    return end;
}

// How many of the first matches end by text_end; the others were found in lost pages.
std::int64_t MatchesEndingBy(const SearchResults& results, std::int64_t text_end) {
    std::int64_t kept = results.size();
    while (kept > 0) {
        const SubMatchSpan match = results[kept - 1].Span(0);
        if (match.offset + match.length <= text_end) break;
        --kept;
    }
    return kept;
}

// Stops a queue when it goes, whichever way the search ends.
class StopOnExit {
  public:
    explicit StopOnExit(PartQueue& queue) : queue_(queue) {}
    ~StopOnExit() { queue_.Stop(); }
    StopOnExit(const StopOnExit&) = delete;
    StopOnExit& operator=(const StopOnExit&) = delete;

  private:
    PartQueue& queue_;
};

}  // namespace

SearchResults SearchInParts(std::int64_t text_size, int group_count,
                            const CursorFactory& new_cursor, const SearchOptions& options,
                            WorkProgress* progress) {
    // Asking for the processors costs system calls: a small text, searched in one part, does
    // not need them.
    const bool split = options.parts > 1 || (options.parts <= 0 && text_size >= kParallelTextSize);
    const int wanted_threads = !split                ? 1
                               : options.threads > 0 ? std::min(options.threads, kMostThreads)
                                                     : AvailableProcessors();
    // Handing the matches over while the threads search needs a thread of its own for the join,
    // and parts small enough for their matches to be few.
    const bool joins_meanwhile = options.hand_over && split;
    std::int64_t parts = options.parts;
    if (parts <= 0) parts = split ? wanted_threads : 1;
    if (joins_meanwhile) {
        parts = std::max(parts, (text_size + kHandOverPartBytes - 1) / kHandOverPartBytes);
    }
    parts = std::clamp<std::int64_t>(parts, 1, text_size);
    const auto part_count = static_cast<std::size_t>(parts);
    const int threads = static_cast<int>(std::min<std::int64_t>(wanted_threads, parts));
    if (progress != nullptr) progress->Start(text_size);

    const RecordWidth width = RecordWidthFor(text_size);
    // Matches handed over leave their stores' room to the parts after them.
    SpanStorePool pool;
    std::vector<PartRun> runs(part_count,
                              PartRun(group_count, width, joins_meanwhile ? &pool : nullptr));
    for (std::size_t k = 0; k < part_count; ++k) {
        runs[k].begin = text_size * static_cast<std::int64_t>(k) / parts;
    }
    const std::function<std::int64_t()> lost_from = [&] { return LostFrom(options, text_size); };
    // Each thread takes the next part not yet taken, so earlier parts are done first.
    PartQueue queue(part_count,
                    joins_meanwhile ? static_cast<std::size_t>(threads) + 1 : part_count);
    // What a thread searches its parts with; without a cursor (memory ran out making it), the
    // parts it takes are left unsearched, to the join.
    struct Searcher {
        std::unique_ptr<SearchCursor> cursor;
        std::vector<SubMatchSpan> records;
    };
    const auto new_searcher = [&] {
        Searcher searcher;
        try {
            searcher.cursor = new_cursor();
            searcher.records.resize(static_cast<std::size_t>(group_count) + 1);
        } catch (const std::exception&) {
            searcher.cursor.reset();
        }
        return searcher;
    };
    // Takes the next part and searches it; false when there is none to take.
    const auto search_next = [&](Searcher& searcher) {
        const std::optional<std::size_t> k = queue.Take();
        if (!k) return false;
        const bool last = *k + 1 == part_count;
        const std::int64_t part_end = last ? text_size : runs[*k + 1].begin;
        // The last part's loop goes on to the end of the text, and one search beyond.
        const std::int64_t stop = last ? INT64_MAX : part_end;
        if (searcher.cursor) {
            SearchPart(runs[*k], stop, part_end, *searcher.cursor, searcher.records, progress,
                       lost_from);
        }
        queue.Searched(*k);
        return true;
    };
    const auto search_parts = [&] {
        Searcher searcher = new_searcher();
        while (search_next(searcher)) {
        }
    };
    // The file's end, and the matches of the text before it, once the file lost pages.
    const std::function<std::int64_t()> text_end = [&] {
        return FileEndBefore(options, lost_from());
    };
    const auto keep_text = [&](SearchResults& results) {
        const std::int64_t end = text_end();
        if (end != INT64_MAX) results.KeepFirst(MatchesEndingBy(results, end));
    };
    std::function<void(SearchResults&)> hand_over;
    if (options.hand_over) {
        hand_over = [&](SearchResults& results) {
            keep_text(results);
            SearchResults batch = results.TakeMatches();
            options.hand_over(batch);
            for (SpanStore& store : batch.TakeStores()) pool.Give(std::move(store));
        };
    }
    std::vector<std::jthread> helpers;
    // Declared after the helpers, so that it stops the queue before they are joined.
    const StopOnExit stop_queue(queue);
    for (int t = joins_meanwhile ? 0 : 1; t < threads; ++t) {
        try {
            helpers.emplace_back(search_parts);
        } catch (const std::exception&) {
            break;  // no more threads to be had: fewer threads take the same parts
        }
    }
    // Without a thread to search while it joins, this one searches each part as the join
    // comes to it.
    std::function<void(std::size_t)> await_part = [&](std::size_t part) {
        queue.WaitSearched(part);
    };
    std::optional<Searcher> own_searcher;
    if (!joins_meanwhile) {
        search_parts();
    } else if (helpers.empty()) {
        await_part = [&](std::size_t part) {
            if (!own_searcher) own_searcher = new_searcher();
            while (!queue.IsSearched(part) && search_next(*own_searcher)) {
            }
        };
    }
    SearchResults results = JoinParts(runs, queue, await_part, group_count, width, new_cursor,
                                      progress, text_end, hand_over);
    if (hand_over) {
        hand_over(results);
    } else {
        keep_text(results);
    }
    return results;
}

}  // namespace lintaro
