// Runs the batch program's files on several threads while one thread takes their results in
// the files' order.
#include "cli/ordered_file_runs.h"

#include <system_error>
#include <utility>

namespace lintaro {

namespace {

// Enough small files that handing a batch over costs little beside running it; few enough
// bytes that the batches held at once stay a fixed amount of memory.
constexpr std::size_t kBatchFiles = 64;
constexpr std::int64_t kBatchBytes = std::int64_t{1} << 20;

}  // namespace

std::vector<std::size_t> FileBatchEnds(const std::vector<std::int64_t>& sizes) {
    std::vector<std::size_t> ends;
    std::size_t files = 0;
    std::int64_t bytes = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::int64_t size = sizes[i] < 0 ? kBatchBytes : sizes[i];
        if (files > 0 && (files == kBatchFiles || bytes + size > kBatchBytes)) {
            ends.push_back(i);
            files = 0;
            bytes = 0;
        }
        ++files;
        bytes += size;
    }
    if (files > 0) ends.push_back(sizes.size());
    return ends;
}

OrderedFileRuns::OrderedFileRuns(const std::vector<std::int64_t>& sizes, int threads,
                                 std::function<void(std::size_t)> run)
    : batch_ends_(FileBatchEnds(sizes)),
      ahead_(static_cast<std::size_t>(threads) + 1),
      run_(std::move(run)),
      done_(batch_ends_.size(), false) {
    threads_.reserve(static_cast<std::size_t>(threads));
    try {
        for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The threads that started do the work; with none, WaitFor runs each file itself.
    }
}

OrderedFileRuns::~OrderedFileRuns() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    room_.notify_all();
    threads_.clear();
}

void OrderedFileRuns::WaitFor(std::size_t index) {
    if (threads_.empty()) {
        run_(index);
        return;
    }
    if (index < ready_end_) return;
    while (batch_ends_[taking_] <= index) ++taking_;
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return done_[taking_]; });
    ready_end_ = batch_ends_[taking_];
}

void OrderedFileRuns::Taken(std::size_t index) {
    if (threads_.empty() || index + 1 != batch_ends_[taking_]) return;
    {
        const std::lock_guard lock(mutex_);
        taken_ = taking_ + 1;
    }
    room_.notify_all();
}

void OrderedFileRuns::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        room_.wait(lock, [&] {
            return stopping_ || next_ >= batch_ends_.size() || next_ < taken_ + ahead_;
        });
        if (stopping_ || next_ >= batch_ends_.size()) return;
        const std::size_t batch = next_++;
        lock.unlock();
        for (std::size_t i = batch == 0 ? 0 : batch_ends_[batch - 1]; i < batch_ends_[batch]; ++i) {
            run_(i);
        }
        lock.lock();
        done_[batch] = true;
        finished_.notify_one();
    }
}

}  // namespace lintaro
