// Runs the batch program's files on several threads while one thread takes their results in
// the files' order, never more than a few files ahead of it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lintaro {

class OrderedFileRuns {
  public:
    // Calls run(i) for i from 0 to count - 1 on threads threads, which take the indexes in
    // order; run must not throw. A file's run starts only when fewer than threads results wait
    // to be taken, so that at most that many are held at once. When no thread can be started,
    // WaitFor runs each file on the calling thread.
    OrderedFileRuns(std::size_t count, int threads, std::function<void(std::size_t)> run);
    // Lets the runs under way end, starts no more and waits for the threads.
    ~OrderedFileRuns();
    OrderedFileRuns(const OrderedFileRuns&) = delete;
    OrderedFileRuns& operator=(const OrderedFileRuns&) = delete;

    // Waits until run(index) has ended. Indexes are waited for in order, from 0.
    void WaitFor(std::size_t index);
    // Says that the result of index, waited for last, was taken.
    void Taken(std::size_t index);

  private:
    void Work();

    std::size_t count_;
    std::size_t ahead_;
    std::function<void(std::size_t)> run_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;   // the next index to run
    std::size_t taken_ = 0;  // how many results were taken
    std::vector<bool> done_;
    bool stopping_ = false;
    std::vector<std::jthread> threads_;
};

}  // namespace lintaro
