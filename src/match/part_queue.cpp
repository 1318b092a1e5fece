// Hands the parts of a split search out in order, at most a set number ahead of the join.
#include "match/part_queue.h"

#include <algorithm>

namespace lintaro {

PartQueue::PartQueue(std::size_t parts, std::size_t ahead)
    : searched_(parts, false), ahead_(std::max<std::size_t>(ahead, 1)) {}

std::optional<std::size_t> PartQueue::Take() {
    std::unique_lock lock(mutex_);
    reach_cv_.wait(lock, [this] {
        return stopped_ || next_ >= searched_.size() || next_ < joining_ + ahead_;
    });
    if (stopped_ || next_ >= searched_.size()) return std::nullopt;
    return next_++;
}

void PartQueue::Searched(std::size_t part) {
    {
        const std::lock_guard lock(mutex_);
        searched_[part] = true;
    }
    searched_cv_.notify_all();
}

bool PartQueue::IsSearched(std::size_t part) {
    const std::lock_guard lock(mutex_);
    return searched_[part];
}

void PartQueue::WaitSearched(std::size_t part) {
    std::unique_lock lock(mutex_);
    searched_cv_.wait(lock, [&] { return searched_[part]; });
}

void PartQueue::Joining(std::size_t part) {
    {
        const std::lock_guard lock(mutex_);
        if (part <= joining_) return;
        joining_ = part;
    }
    reach_cv_.notify_all();
}

void PartQueue::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    reach_cv_.notify_all();
}

}  // namespace lintaro
