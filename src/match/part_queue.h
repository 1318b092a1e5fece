// Hands the parts of a split search out to the searching threads in order, and lets the join
// wait for each part to be searched.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace lintaro {

class PartQueue {
  public:
    // parts: how many there are. ahead: a thread takes a part only while it lies fewer than
    // ahead parts after the one being joined, which bounds the parts searched but not yet
    // joined; at least 1.
    PartQueue(std::size_t parts, std::size_t ahead);

    // The next part for a thread to search, once it is within reach of the join; none when
    // every part is taken or Stop was called.
    std::optional<std::size_t> Take();
    // Says that a thread has searched part (or given it up unsearched).
    void Searched(std::size_t part);

    // Whether part was said to be searched; WaitSearched waits until it is.
    bool IsSearched(std::size_t part);
    void WaitSearched(std::size_t part);
    // Says that the join has come to part: the parts before it are done with.
    void Joining(std::size_t part);
    // Hands out no more parts; the threads end with the parts they have.
    void Stop();

  private:
    std::mutex mutex_;
    std::condition_variable searched_cv_;  // a part was searched
    std::condition_variable reach_cv_;     // the join moved on, or the queue stopped
    std::vector<bool> searched_;
    std::size_t ahead_;
    std::size_t next_ = 0;     // the next part to take
    std::size_t joining_ = 0;  // the part the join has come to
    bool stopped_ = false;
};

}  // namespace lintaro
