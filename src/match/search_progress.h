// How far a running search has come, and the request to stop it, shared between the threads
// that search and one that watches.
#pragma once

#include <atomic>
#include <cstdint>

namespace lintaro {

// Written by the searching threads and read by any other thread at any time. The figures only
// grow during a search; they are for showing progress, not exact counts: matches found by a
// thread that is later found to have overlapped another's work count as well.
class SearchProgress {
  public:
    // Bytes of the text being searched; 0 until the search starts.
    std::int64_t TotalBytes() const { return total_bytes_.load(std::memory_order_relaxed); }
    // Bytes of the text whose searching has ended, and matches found so far.
    std::int64_t SearchedBytes() const { return searched_bytes_.load(std::memory_order_relaxed); }
    std::int64_t FoundMatches() const { return found_matches_.load(std::memory_order_relaxed); }

    // Stops the search before its next engine call; a call already running finishes first. The
    // search then returns the matches of the sequential result found until then.
    void RequestCancel() { cancel_requested_.store(true, std::memory_order_relaxed); }
    bool CancelRequested() const { return cancel_requested_.load(std::memory_order_relaxed); }

    // Called by the search.
    void Start(std::int64_t total_bytes) {
        total_bytes_.store(total_bytes, std::memory_order_relaxed);
    }
    void Add(std::int64_t searched_bytes, std::int64_t found_matches) {
        searched_bytes_.fetch_add(searched_bytes, std::memory_order_relaxed);
        found_matches_.fetch_add(found_matches, std::memory_order_relaxed);
    }

  private:
    std::atomic<std::int64_t> total_bytes_{0};
    std::atomic<std::int64_t> searched_bytes_{0};
    std::atomic<std::int64_t> found_matches_{0};
    std::atomic<bool> cancel_requested_{false};
};

}  // namespace lintaro
