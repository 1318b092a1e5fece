// Searching in a child process that can be ended at any moment, keeping the matches it has
// reported by then.
//
// The child is forked just before the search, so it shares the text with this process without
// a copy, and it runs nothing but the search: no Qt, no stdio (it ends with _exit). Its matches
// reach this process through a pipe, each once it is final. The chain of searches from the start
// of the text is the search loop itself, so the cursor that follows it sends its matches as it
// finds them (in batches, at least every 50 ms); the rest of the result follows once the parts
// are joined. Its progress figures and the cancel request live in a block of shared memory made
// before the fork: on a cancel, the child sends the matches of the chain it holds and ends, even
// from inside an engine call that would never return, and only then is it killed.
#include "match/search_worker.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "base/stoppable_wait.h"
#include "base/unique_fd.h"
#include "match/worker_pipe.h"

namespace lintaro {

namespace {

constexpr int kPipeBytes = 1 << 20;
// Words of records of the followed chain held before they are sent, and how long they may wait.
constexpr std::size_t kPrefixBatchWords = std::size_t{1} << 14;
constexpr auto kPrefixBatchWait = std::chrono::milliseconds(50);

// ---- the child's side ----------------------------------------------------------------

// The matches of the chain of searches from the start of the text, sent as they are found.
// One cursor adds them; a thread of its own sends what has waited for kPrefixBatchWait, so that
// matches found just before an engine call that never ends still arrive, and on a cancel it
// sends the rest at once and ends the process. Where no thread can be had, the matches go out
// as batches fill and at the end.
class FinalPrefix {
  public:
    FinalPrefix(int fd, int group_count, RecordWidth width, const WorkProgress& progress)
        : fd_(fd),
          progress_(progress),
          width_(width),
          match_words_((static_cast<std::size_t>(group_count) + 1) * WordsPerRecord(width)),
          capacity_(std::max(kPrefixBatchWords / match_words_, std::size_t{1}) * match_words_),
          batch_(std::make_unique<std::uint32_t[]>(capacity_)) {
        try {
            sender_ =
                std::jthread([this](const std::stop_token& stop) { SendWhileSearching(stop); });
        } catch (const std::system_error&) {
            // The search goes on all the same; only matches before an endless call wait.
        }
    }
    ~FinalPrefix() { Finish(); }
    FinalPrefix(const FinalPrefix&) = delete;
    FinalPrefix& operator=(const FinalPrefix&) = delete;

    // True for the first caller only: the one cursor that follows the chain.
    bool Claim() { return !claimed_.exchange(true); }

    // Adds one match; only the cursor that claimed the chain calls this.
    void Add(std::span<const SubMatchSpan> records) {
        std::size_t filled = filled_.load(std::memory_order_relaxed);
        if (filled + match_words_ > capacity_) {
            const std::lock_guard lock(mutex_);
            SendFrom(sent_, filled);
            sent_ = 0;
            filled = 0;
            filled_.store(0, std::memory_order_relaxed);
        }
        EncodeRecords(records.first(match_words_ / WordsPerRecord(width_)), width_,
                      batch_.get() + filled);
        filled_.store(filled + match_words_, std::memory_order_release);
        ++count_;
    }

    // Stops the sending thread and sends what is left. Count is final from here on.
    void Finish() {
        if (sender_.joinable()) {
            sender_.request_stop();
            sender_.join();
        }
        const std::size_t filled = filled_.load(std::memory_order_acquire);
        SendFrom(sent_, filled);
        sent_ = filled;
    }
    std::int64_t Count() const { return count_; }

  private:
    void SendFrom(std::size_t from, std::size_t to) {
        SendMatches(fd_, std::span<const std::uint32_t>(batch_.get() + from, to - from),
                    match_words_);
    }

    void SendWhileSearching(const std::stop_token& stop) {
        while (WaitUnlessStopped(stop, kPrefixBatchWait)) {
            const std::lock_guard lock(mutex_);
            // The records below filled_ are written before it grows, and only the adding
            // thread, holding the lock, starts the batch anew.
            const std::size_t filled = filled_.load(std::memory_order_acquire);
            SendFrom(sent_, filled);
            sent_ = filled;
            if (progress_.CancelRequested()) {
                // The search may be inside an engine call that never returns; what it found
                // is all sent, so the end needs no more from it.
                SendEnd(fd_, -1, EngineStop::kNone, {});
                ::_exit(0);
            }
        }
    }

    const int fd_;
    const WorkProgress& progress_;
    const RecordWidth width_;
    const std::size_t match_words_;
    const std::size_t capacity_;  // words
    const std::unique_ptr<std::uint32_t[]> batch_;
    std::atomic<std::size_t> filled_{0};  // words
    std::size_t sent_ = 0;                // under mutex_
    std::int64_t count_ = 0;
    std::atomic<bool> claimed_{false};
    std::mutex mutex_;
    std::jthread sender_;  // started once the rest is made
};

// A cursor that tells the chain's matches to prefix while it follows the chain from the start
// of the text: a search from where the previous match ended, on the same cursor, continues it.
class ChainCursor : public SearchCursor {
  public:
    ChainCursor(std::unique_ptr<SearchCursor> engine, FinalPrefix& prefix)
        : engine_(std::move(engine)), prefix_(prefix) {}

    Outcome SearchFrom(std::int64_t start, std::int64_t limit,
                       std::span<SubMatchSpan> spans) override {
        following_ = (following_ && start == next_start_) || (start == 0 && prefix_.Claim());
        const Outcome outcome = engine_->SearchFrom(start, limit, spans);
        if (!following_) return outcome;
        if (outcome != Outcome::kMatch) {
            following_ = false;
            return outcome;
        }
        prefix_.Add(spans);
        next_start_ = spans[0].offset + spans[0].length;
        // An empty match where its search began ends the loop.
        following_ = next_start_ != start;
        return outcome;
    }
    const std::string& ErrorMessage() const override { return engine_->ErrorMessage(); }

  private:
    std::unique_ptr<SearchCursor> engine_;
    FinalPrefix& prefix_;
    bool following_ = false;
    std::int64_t next_start_ = -1;
};

// The child's whole life: search, send, end.
[[noreturn]] void RunChild(int fd, const regex& expression, std::string_view text,
                           const SearchOptions& options, WorkProgress& progress) {
    const int group_count = expression.GetGroupCount();
    const RecordWidth width = RecordWidthFor(static_cast<std::int64_t>(text.size()));
    const std::size_t match_words =
        (static_cast<std::size_t>(group_count) + 1) * WordsPerRecord(width);
    try {
        const CursorFactory engine_cursors = expression.MakeCursors(text, options.skip);
        FinalPrefix prefix(fd, group_count, width, progress);
        const SearchResults results = SearchInParts(
            static_cast<std::int64_t>(text.size()), group_count,
            [&] { return std::make_unique<ChainCursor>(engine_cursors(), prefix); }, options,
            &progress);
        prefix.Finish();
        results.VisitRecords(prefix.Count(), [&](std::span<const std::uint32_t> words) {
            SendMatches(fd, words, match_words);
        });
        SendEnd(fd, results.size(), results.EngineStopReason(), results.EngineMessage());
    } catch (const std::bad_alloc& error) {
        // The matches sent so far stay.
        SendEnd(fd, -1, EngineStop::kOutOfMemory, error.what());
    }
    ::_exit(0);
}

// ---- this process's side -------------------------------------------------------------

// Progress figures in memory shared with the child.
class SharedProgress {
  public:
    SharedProgress()
        : memory_(::mmap(nullptr, sizeof(WorkProgress), PROT_READ | PROT_WRITE,
                         MAP_SHARED | MAP_ANONYMOUS, -1, 0)) {
        if (memory_ == MAP_FAILED) throw std::bad_alloc();
        progress_ = new (memory_) WorkProgress;
    }
    ~SharedProgress() { ::munmap(memory_, sizeof(WorkProgress)); }
    SharedProgress(const SharedProgress&) = delete;
    SharedProgress& operator=(const SharedProgress&) = delete;
    WorkProgress& Get() { return *progress_; }

  private:
    void* memory_;
    WorkProgress* progress_ = nullptr;
};

// The child, killed and waited for when it goes, however the search ends here.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() {
        if (pid_ > 0) Kill();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Kill() {
        ::kill(pid_, SIGKILL);
        Wait();
    }
    // Waits for its end; returns its wait status.
    int Wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_;
};

// Why a child that sent no end message ended, as the engine's message.
std::string DescribeEarlyEnd(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        return "the search process was ended by signal " + std::to_string(signal) + " (" +
               ::strsignal(signal) + ")";
    }
    return "the search process ended early with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

SearchResults SearchInWorker(const regex& expression, std::string_view text,
                             const SearchOptions& options, WorkProgress& progress) {
    const int group_count = expression.GetGroupCount();
    // Also when a cancel of the reading left no text.
    if (progress.CancelRequested()) {
        SearchResults results(group_count);
        results.SetCancelled();
        return results;
    }
    if (!expression.MakeCursors(text, options.skip) || text.empty()) {
        return expression.SearchAll(text, options, &progress);  // nothing to search
    }
    progress.Start(static_cast<std::int64_t>(text.size()));
    SharedProgress child_progress;
    // Without a pipe or a process to be had, the search runs here, where a cancel waits for
    // the engine call that runs to end.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return expression.SearchAll(text, options, &progress);
    UniqueFd reading(ends[0]);
    UniqueFd writing(ends[1]);
    ::fcntl(writing.Get(), F_SETPIPE_SZ, kPipeBytes);  // fewer wake-ups; a refusal costs nothing
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) return expression.SearchAll(text, options, &progress);
    if (pid == 0) {
        // Ends with this process (the thread that forked, which waits for it), and holds no
        // descriptor but the pipe's end it writes.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(1);
        const int fd = writing.Get();
        ::close_range(3, static_cast<unsigned>(fd) - 1, 0);
        ::close_range(static_cast<unsigned>(fd) + 1, ~0u, 0);
        RunChild(fd, expression, text, options, child_progress.Get());
    }
    ChildProcess child(pid);
    writing.Reset();  // so that the pipe ends when the child does

    MatchReceiver receiver(reading.Get(), group_count,
                           RecordWidthFor(static_cast<std::int64_t>(text.size())),
                           child_progress.Get(), progress);
    const MatchReceiver::Ending ending = receiver.Receive();
    if (receiver.CancelPassedOn()) {
        child.Kill();  // it may still be inside an engine call
        SearchResults results = receiver.TakeResults();
        results.SetCancelled();
        return results;
    }
    const int status = child.Wait();
    receiver.MirrorProgress();
    SearchResults results = receiver.TakeResults();
    if (ending == MatchReceiver::Ending::kClosed) results.SetEngineGaveUp(DescribeEarlyEnd(status));
    return results;
}

}  // namespace lintaro
