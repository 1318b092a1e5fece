// Tests of reading a search worker's messages: whole matches are kept of a message cut short
// at any byte, in both record widths, and the end message's count is the last word.
#include "match/worker_pipe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "describe_results.h"

namespace lintaro {
namespace {

// Both ends of a pipe, closed when they go.
class Pipe {
  public:
    Pipe() { EXPECT_EQ(::pipe(ends_), 0); }
    ~Pipe() {
        CloseWriting();
        ::close(ends_[0]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int Reading() const { return ends_[0]; }
    int Writing() const { return ends_[1]; }
    void CloseWriting() {
        if (ends_[1] >= 0) ::close(ends_[1]);
        ends_[1] = -1;
    }

  private:
    int ends_[2] = {-1, -1};
};

// Three matches of one group in width, the second group taking no part; offsets beyond 4 GiB
// when wide. Returns their stored words and their description.
std::vector<std::uint32_t> ThreeMatches(RecordWidth width, std::vector<std::string>& described) {
    const std::int64_t base = width == RecordWidth::kWide ? std::int64_t{5} << 32 : 1000;
    const SubMatchSpan records[][2] = {
        {{base, 4}, {base + 1, 2}}, {{base + 10, 0}, {}}, {{base + 20, 3}, {base + 20, 3}}};
    std::vector<std::uint32_t> words(3 * 2 * WordsPerRecord(width));
    described.clear();
    std::uint32_t* next = words.data();
    for (const auto& match : records) {
        std::string text;
        for (const SubMatchSpan& span : match) {
            EncodeRecord(span, width, next);
            next += WordsPerRecord(width);
            text +=
                (text.empty() ? "" : " ") +
                (span.matched() ? std::to_string(span.offset) + "," + std::to_string(span.length)
                                : std::string("-"));
        }
        described.push_back(text + "|");
    }
    return words;
}

class WorkerPipeTest : public testing::TestWithParam<RecordWidth> {};

TEST_P(WorkerPipeTest, MessageCutAtAnyByteKeepsTheWholeMatchesBeforeIt) {
    const RecordWidth width = GetParam();
    std::vector<std::string> described;
    const std::vector<std::uint32_t> words = ThreeMatches(width, described);
    const std::size_t match_bytes = words.size() * sizeof(std::uint32_t) / 3;
    for (std::size_t cut = 0; cut < words.size() * sizeof(std::uint32_t); ++cut) {
        Pipe pipe;
        const MessageHeader header{MessageKind::kMatches, EngineStop::kNone,
                                   static_cast<std::int64_t>(words.size()), 0};
        WriteAll(pipe.Writing(), &header, sizeof header);
        WriteAll(pipe.Writing(), words.data(), cut);
        pipe.CloseWriting();  // as a kill leaves it

        WorkProgress child_progress;
        WorkProgress progress;
        MatchReceiver receiver(pipe.Reading(), 1, width, child_progress, progress);
        EXPECT_EQ(receiver.Receive(), MatchReceiver::Ending::kClosed) << cut;
        std::string expected;
        for (std::size_t m = 0; m < cut / match_bytes; ++m) expected += described[m];
        EXPECT_EQ(Describe(receiver.TakeResults()), expected) << "cut at byte " << cut;
    }
}

TEST_P(WorkerPipeTest, EndMessageCountsTheMatchesThatStay) {
    const RecordWidth width = GetParam();
    std::vector<std::string> described;
    const std::vector<std::uint32_t> words = ThreeMatches(width, described);
    Pipe pipe;
    SendMatches(pipe.Writing(), words, words.size() / 3);
    SendEnd(pipe.Writing(), 2, EngineStop::kGaveUp, "stack");
    pipe.CloseWriting();

    WorkProgress child_progress;
    WorkProgress progress;
    MatchReceiver receiver(pipe.Reading(), 1, width, child_progress, progress);
    EXPECT_EQ(receiver.Receive(), MatchReceiver::Ending::kDone);
    EXPECT_EQ(Describe(receiver.TakeResults()), described[0] + described[1] + "gave up: stack");
}

// A cancel passed on to the worker: what it sends before its end stays, and a worker that
// neither sends nor ends is given up on.
TEST_P(WorkerPipeTest, CancelKeepsWhatTheWorkerSendsBeforeItsEnd) {
    const RecordWidth width = GetParam();
    std::vector<std::string> described;
    const std::vector<std::uint32_t> words = ThreeMatches(width, described);
    for (const bool worker_ends : {true, false}) {
        Pipe pipe;
        SendMatches(pipe.Writing(), words, words.size() / 3);
        if (worker_ends) SendEnd(pipe.Writing(), -1, EngineStop::kNone, {});

        WorkProgress child_progress;
        WorkProgress progress;
        progress.RequestCancel();
        MatchReceiver receiver(pipe.Reading(), 1, width, child_progress, progress);
        EXPECT_EQ(receiver.Receive(),
                  worker_ends ? MatchReceiver::Ending::kDone : MatchReceiver::Ending::kCancelled);
        EXPECT_TRUE(child_progress.CancelRequested());
        EXPECT_TRUE(receiver.CancelPassedOn());
        EXPECT_EQ(Describe(receiver.TakeResults()), described[0] + described[1] + described[2]);
        receiver.MirrorProgress();
        EXPECT_EQ(progress.Found(), 3);  // the matches that arrived, ahead of the worker's count
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, WorkerPipeTest,
                         testing::Values(RecordWidth::kNarrow, RecordWidth::kWide));

}  // namespace
}  // namespace lintaro
