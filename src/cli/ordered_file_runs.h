// Runs the batch program's files on several threads while one thread takes their results in
// the files' order, never more than a few batches of files ahead of it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lintaro {

class OrderedFileRuns {
  public:
    // Calls run(i) for each index of sizes (the files' sizes in bytes, -1 when unknown) on
    // threads threads; run must not throw. Neighbouring files are grouped into batches (see
    // FileBatchEnds) and a thread runs a whole batch before it hands it over, so that the
    // threads meet once per batch rather than once per file. A batch starts only while fewer
    // than threads + 1 are run or wait to be taken, the one being taken among them: every
    // thread goes on with a batch while the taking thread writes one, and at most threads + 1
    // are held at once.
    // When no thread can be started, WaitFor runs each file on the calling thread.
    OrderedFileRuns(const std::vector<std::int64_t>& sizes, int threads,
                    std::function<void(std::size_t)> run);
    // Lets the batches under way end, starts no more and waits for the threads.
    ~OrderedFileRuns();
    OrderedFileRuns(const OrderedFileRuns&) = delete;
    OrderedFileRuns& operator=(const OrderedFileRuns&) = delete;

    // Waits until run(index) has ended. Indexes are waited for in order, from 0.
    void WaitFor(std::size_t index);
    // Says that the result of index, waited for last, was taken.
    void Taken(std::size_t index);

  private:
    void Work();

    std::vector<std::size_t> batch_ends_;  // the index after each batch's last file
    std::size_t ahead_;                    // the most batches run or waiting to be taken at once
    std::function<void(std::size_t)> run_;
    std::mutex mutex_;
    std::condition_variable finished_;  // a batch was run
    std::condition_variable room_;      // a batch was taken, or the runs stop
    std::size_t next_ = 0;              // the next batch to run
    std::size_t taken_ = 0;             // how many batches were taken
    std::vector<bool> done_;            // per batch
    bool stopping_ = false;
    // The taking thread's own: the batch it takes from, and the files known to be run.
    std::size_t taking_ = 0;
    std::size_t ready_end_ = 0;
    std::vector<std::jthread> threads_;
};

// Where the batches of files of sizes end: runs of neighbours of at most 64 files and 1 MiB,
// a bigger file (or one of unknown size) alone.
std::vector<std::size_t> FileBatchEnds(const std::vector<std::int64_t>& sizes);

}  // namespace lintaro
