// Runs the batch program's files on several threads while one thread takes their results in
// the files' order.
#include "cli/ordered_file_runs.h"

#include <system_error>
#include <utility>

namespace lintaro {

OrderedFileRuns::OrderedFileRuns(std::size_t count, int threads,
                                 std::function<void(std::size_t)> run)
    : count_(count),
      ahead_(static_cast<std::size_t>(threads)),
      run_(std::move(run)),
      done_(count, false) {
    threads_.reserve(ahead_);
    try {
        for (std::size_t i = 0; i < ahead_; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The threads that started do the work; with none, WaitFor runs each file itself.
    }
}

OrderedFileRuns::~OrderedFileRuns() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    threads_.clear();
}

void OrderedFileRuns::WaitFor(std::size_t index) {
    if (threads_.empty()) {
        run_(index);
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_[index]; });
}

void OrderedFileRuns::Taken(std::size_t index) {
    {
        const std::lock_guard lock(mutex_);
        taken_ = index + 1;
    }
    changed_.notify_all();
}

void OrderedFileRuns::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock,
                      [&] { return stopping_ || next_ >= count_ || next_ < taken_ + ahead_; });
        if (stopping_ || next_ >= count_) return;
        const std::size_t index = next_++;
        lock.unlock();
        run_(index);
        lock.lock();
        done_[index] = true;
        changed_.notify_all();
    }
}

}  // namespace lintaro
