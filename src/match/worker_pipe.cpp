// The messages a search worker sends through a pipe to the process that forked it, and their
// reading there.
#include "match/worker_pipe.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>

namespace lintaro {

namespace {

constexpr int kPollMilliseconds = 100;

}  // namespace

// ---- the worker's side ---------------------------------------------------------------

void WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) ::_exit(1);
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void SendMatches(int fd, std::span<const std::uint32_t> words, std::size_t match_words) {
    const std::size_t per_message =
        std::max<std::size_t>(1, kMessageWords / match_words) * match_words;
    while (!words.empty()) {
        const std::size_t count = std::min(words.size(), per_message);
        const MessageHeader header{MessageKind::kMatches, EngineStop::kNone,
                                   static_cast<std::int64_t>(count), 0};
        WriteAll(fd, &header, sizeof header);
        WriteAll(fd, words.data(), count * sizeof(std::uint32_t));
        words = words.subspan(count);
    }
}

void SendEnd(int fd, std::int64_t match_count, EngineStop stop, const std::string& message) {
    const MessageHeader header{MessageKind::kEnd, stop, match_count,
                               static_cast<std::int64_t>(message.size())};
    WriteAll(fd, &header, sizeof header);
    WriteAll(fd, message.data(), message.size());
}

// ---- the parent's side ---------------------------------------------------------------

MatchReceiver::MatchReceiver(int fd, int group_count, RecordWidth width,
                             WorkProgress& child_progress, WorkProgress& progress)
    : fd_(fd),
      group_count_(group_count),
      width_(width),
      match_words_((static_cast<std::size_t>(group_count) + 1) * WordsPerRecord(width)),
      child_progress_(child_progress),
      progress_(progress) {}

MatchReceiver::Ending MatchReceiver::Receive() {
    while (true) {
        MessageHeader header;
        std::size_t got = 0;
        if (const Ending ending = Fill(&header, sizeof header, got); ending != Ending::kFilled) {
            return ending;
        }
        if (header.kind == MessageKind::kEnd && header.text_bytes >= 0) {
            message_.resize(static_cast<std::size_t>(header.text_bytes));
            got = 0;
            const Ending ending = Fill(message_.data(), message_.size(), got);
            if (ending != Ending::kFilled) return ending;
            end_count_ = header.count;
            stop_ = header.stop;
            return Ending::kDone;
        }
        const auto words = static_cast<std::size_t>(header.count);
        if (header.kind != MessageKind::kMatches || header.count <= 0 ||
            words % match_words_ != 0) {
            return Ending::kClosed;  // not what a worker writes: take it as its end
        }
        SpanStore& store = StoreWithRoom(words);
        const std::size_t before = store.size();
        store.resize(before + words);
        got = 0;
        const Ending ending = Fill(store.data() + before, words * sizeof(std::uint32_t), got);
        // Only whole matches count: a message cut short keeps those that arrived.
        const std::size_t whole = got / sizeof(std::uint32_t) / match_words_;
        store.resize(before + whole * match_words_);
        received_ += static_cast<std::int64_t>(whole);
        if (ending != Ending::kFilled) return ending;
    }
}

SearchResults MatchReceiver::TakeResults() {
    std::size_t allowed = SIZE_MAX;
    if (end_count_ >= 0) allowed = static_cast<std::size_t>(end_count_) * match_words_;
    SearchResults results(group_count_, width_);
    for (SpanStore& store : stores_) {
        store.resize(std::min(store.size(), allowed));
        allowed -= store.size();
        if (!store.empty()) results.AppendMatches(std::move(store), 0);
    }
    stores_.clear();
    if (stop_ != EngineStop::kNone) results.SetEngineGaveUp(message_, stop_);
    return results;
}

void MatchReceiver::MirrorProgress() {
    const std::int64_t done = child_progress_.Done();
    // The worker publishes its count in batches; the matches here may be ahead of it, and
    // while the engine is stuck in one call they are all there is to show.
    const std::int64_t found = std::max(child_progress_.Found(), received_);
    if (done != done_ || found != found_) progress_.Add(done - done_, found - found_);
    done_ = done;
    found_ = found;
}

MatchReceiver::Ending MatchReceiver::Fill(void* data, std::size_t size, std::size_t& got) {
    char* const bytes = static_cast<char*>(data);
    while (got < size) {
        if (!WorkerMayStillSend()) return Ending::kCancelled;
        pollfd ready{fd_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, kPollMilliseconds);
        MirrorProgress();
        if (polled == 0 || (polled < 0 && errno == EINTR)) continue;
        const ssize_t count = ::read(fd_, bytes + got, size - got);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return Ending::kClosed;
        got += static_cast<std::size_t>(count);
    }
    return Ending::kFilled;
}

bool MatchReceiver::WorkerMayStillSend() {
    if (!progress_.CancelRequested()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (!cancel_deadline_) {
        // Matches the worker found but has not sent yet would be lost to a kill now.
        child_progress_.RequestCancel();
        cancel_deadline_ = now + kCancelWait;
    }
    return now < *cancel_deadline_;
}

SpanStore& MatchReceiver::StoreWithRoom(std::size_t words) {
    if (stores_.empty() || stores_.back().capacity() - stores_.back().size() < words) {
        stores_.emplace_back().reserve(
            std::max(words, kMessageWords / match_words_ * match_words_));
    }
    return stores_.back();
}

}  // namespace lintaro
