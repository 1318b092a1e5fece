// The messages a search worker sends through a pipe to the process that forked it, and their
// reading there.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/work_progress.h"
#include "match/search_result.h"

namespace lintaro {

// Words of records in one message of matches at most: 8 MB, a chunk of match records.
inline constexpr std::size_t kMessageWords = std::size_t{1} << 21;

enum class MessageKind : std::uint32_t { kMatches = 1, kEnd = 2 };

// Each message begins with this; its payload follows. Both sides store records in the width
// for the text they share, so records cross as they are stored.
struct MessageHeader {
    MessageKind kind = MessageKind::kEnd;
    EngineStop stop = EngineStop::kNone;  // kEnd: why the engine stopped early, if it did
    std::int64_t count = 0;       // kMatches: words of records that follow; kEnd: matches in all,
                                  // or -1
    std::int64_t text_bytes = 0;  // kEnd: bytes of the engine's message that follow
};

// ---- the worker's side ---------------------------------------------------------------

// Writes all of data to fd. A worker whose parent has gone has no one to tell, and ends.
void WriteAll(int fd, const void* data, std::size_t size);
// Sends the stored words of whole matches (match_words words each).
void SendMatches(int fd, std::span<const std::uint32_t> words, std::size_t match_words);
// Sends the end: the matches in all (or -1) and why the engine stopped early, if it did, with
// its message.
void SendEnd(int fd, std::int64_t match_count, EngineStop stop, const std::string& message);

// ---- the parent's side ---------------------------------------------------------------

// How long a worker that was asked to stop has to send what it found and end.
inline constexpr std::chrono::milliseconds kCancelWait{500};

// Reads the worker's messages, mirroring its progress into progress meanwhile.
class MatchReceiver {
  public:
    enum class Ending { kFilled, kDone, kClosed, kCancelled };

    MatchReceiver(int fd, int group_count, RecordWidth width, WorkProgress& child_progress,
                  WorkProgress& progress);

    // Reads until the end message (kDone) or the end of the pipe (kClosed). A cancel request
    // on progress is passed on to the worker, which then sends the matches it holds and ends;
    // kCancelled means it had not ended kCancelWait later. Of a message cut short, the whole
    // matches that arrived are kept.
    Ending Receive();
    // What arrived, as much of it as the end message counted when one came.
    SearchResults TakeResults();
    void MirrorProgress();
    // True once a cancel request reached the worker: what arrived may be only part of the
    // result.
    bool CancelPassedOn() const { return cancel_deadline_.has_value(); }

  private:
    // Fills size bytes at data from the pipe, counting the bytes that arrived in got.
    Ending Fill(void* data, std::size_t size, std::size_t& got);
    // False once a cancel request has waited kCancelWait for the worker's end.
    bool WorkerMayStillSend();
    SpanStore& StoreWithRoom(std::size_t words);

    const int fd_;
    const int group_count_;
    const RecordWidth width_;
    const std::size_t match_words_;
    WorkProgress& child_progress_;
    WorkProgress& progress_;
    std::optional<std::chrono::steady_clock::time_point> cancel_deadline_;
    std::int64_t done_ = 0;
    std::int64_t found_ = 0;
    std::int64_t received_ = 0;  // whole matches
    std::vector<SpanStore> stores_;
    std::int64_t end_count_ = -1;
    EngineStop stop_ = EngineStop::kNone;
    std::string message_;
};

}  // namespace lintaro
