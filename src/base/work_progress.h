// How far a long piece of work (a search, an export) has come, and the request to stop it,
// shared between the threads that work and one that watches.
#pragma once

#include <atomic>
#include <cstdint>

namespace lintaro {

// Written by the working threads and read by any other thread at any time. The figures only
// grow while the work runs; they are for showing progress, not exact counts: a search counts
// bytes of text as its units and matches as what it found, and matches found by a thread that
// is later found to have overlapped another's work count as well.
class WorkProgress {
  public:
    // Units of work in all; 0 until the work has started.
    std::int64_t Total() const { return total_.load(std::memory_order_relaxed); }
    // Units done so far, and things found so far.
    std::int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    std::int64_t Found() const { return found_.load(std::memory_order_relaxed); }

    // Asks the work to stop at its next check; what it does meanwhile finishes first.
    void RequestCancel() { cancel_requested_.store(true, std::memory_order_relaxed); }
    bool CancelRequested() const { return cancel_requested_.load(std::memory_order_relaxed); }

    // Called by the work.
    void Start(std::int64_t total) { total_.store(total, std::memory_order_relaxed); }
    void Add(std::int64_t done, std::int64_t found) {
        done_.fetch_add(done, std::memory_order_relaxed);
        found_.fetch_add(found, std::memory_order_relaxed);
    }

  private:
    // A WorkProgress may live in memory shared with a child process (the search worker's).
    // Only lock-free atomics work there: any other takes a lock that each process keeps for
    // itself.
    static_assert(std::atomic<std::int64_t>::is_always_lock_free);
    static_assert(std::atomic<bool>::is_always_lock_free);

    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> found_{0};
    std::atomic<bool> cancel_requested_{false};
};

}  // namespace lintaro
