// The match run: reads the subject file, runs the pattern over it and rebuilds the result table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <system_error>

#include "base/file_system.h"
#include "base/work_progress.h"
#include "match/parallel_search.h"
#include "match/regex.h"
#include "match/search_result.h"
#include "match/subject_text.h"
#include "table/result_table.h"

namespace lintaro {

// The window's preset pattern: anchors whose link starts with http:// or https://.
inline constexpr const char* kPresetPattern = R"(<A HREF="(https?://[^/]+)\S*"[^>]*>([^<]*)</A>)";

// The stages of a match run that take time, in order.
enum class MatchStage { kRead, kDecode, kSearch, kTable };

// What a match run works on, taken from the front end when the run starts: the run reads
// nothing of the front end while it goes on, so it can go on in another thread.
struct MatchRequest {
    // UTF-8, like the window's pattern box and the command line: the run itself refuses a
    // pattern that holds a character the program's text cannot hold.
    std::string pattern = {};
    bool ignore_case = false;
    std::string subject_path = {};  // program text
    // The character set the subject file is read in (an iconv name); empty: UTF-8.
    std::string subject_charset = {};
    // Where the subject file is read from: the batch program reads standard input through a
    // file system of its own.
    std::reference_wrapper<FileSystem> subject_files = SystemFiles();
    // Whether the subject file is copied or mapped (see SubjectReading).
    SubjectReading reading = SubjectReading::kCopy;
    // How the search splits the text among threads.
    SearchOptions search = {};
    // False for a front end that shows only the count or the positions: then no table is
    // built and ReplaceTable is not called.
    bool wants_table = true;
    // How wide a column heading is in the table's font; none: the table estimates it.
    HeadingWidthFunction heading_width = {};
    // The pattern already compiled (CompilePattern), for runs over many files to share; none:
    // the run compiles it.
    std::shared_ptr<const regex> expression = {};
};

// What a match run reports as it goes. The window, the batch program and the tests each
// provide one, so all of them drive the very same run.
class MatchRunOutput {
  public:
    virtual ~MatchRunOutput() = default;
    virtual void SetCountLine(const std::string& line) = 0;  // program text
    // Sees the matches and the searched text before the table is built. Only a front end that
    // prints them itself needs them; it may keep both.
    virtual void ReceiveMatches(const std::shared_ptr<const SearchResults>& /*results*/,
                                const std::shared_ptr<const TextBuffer>& /*text*/) {}
    // A front end that prints the matches itself, and need not hold them all at once, says so
    // here: then a run that builds no table and cannot be cancelled hands them to
    // ReceiveMatchBatch in order, a batch at a time, as soon as the search has joined them,
    // so that memory stays bounded whatever their number. ReceiveMatches then sees none.
    virtual bool TakesMatchBatches() const { return false; }
    virtual void ReceiveMatchBatch(const SearchResults& /*batch*/, const TextBuffer& /*text*/) {}
    // Receives the finished table; it replaces the previous one entirely.
    virtual void ReplaceTable(ResultTable&& table) = 0;
    // Told as each stage before the table ends, so that a benchmark can time the stages of the
    // very run.
    virtual void StageDone(MatchStage /*stage*/) {}
};

// Why a run's result is empty or short. A run never fails loudly; this says what happened.
// When several things went wrong, a failure that empties the result (unreadable file, then
// invalid pattern) wins over one that shortens it (cut text, then engine giving up).
struct MatchReport {
    enum class Problem {
        kNone,
        kPatternInvalid,    // detail: the engine's message; position: offset in the pattern
        kPatternUnheld,     // detail: the first character the program's text cannot hold, UTF-8
        kFileUnreadable,    // error: why; what was read before a failed read stays
        kTextCutMalformed,  // position: byte offset in the file of the malformed sequence
        kTextCutNul,        // position: byte offset in the file of the NUL
        kEngineGaveUp,      // detail: the engine's message; matches found so far are listed
        kOutOfMemory,       // stage: what was being done; the previous table stays
    };
    Problem problem = Problem::kNone;
    std::string detail;
    std::int64_t position = -1;
    std::int64_t match_count = 0;
    bool cancelled = false;  // the search was cancelled: the matches found until then are listed
    std::error_code error = {};            // kFileUnreadable: why
    MatchStage stage = MatchStage::kRead;  // kOutOfMemory: what the run was doing
    // Said beside the problem above, which may be another one: the file ended before the
    // length it had when it was opened (it shrank while being read), and the engine gave up
    // (also when the text was cut as well: then matches before the cut may be missing).
    bool file_shrank = false;
    bool engine_gave_up = false;
    std::string engine_message = {};
    // Characters of the file the program's text cannot hold: they became "?" in the text.
    std::int64_t replaced_characters = 0;
};

// Runs one match of request and writes its count line and table to output. With progress, the
// search shows there how far it has come, and a cancel request there ends it, also inside one
// engine call (it then runs in a process of its own). When memory runs out, the report says so
// and neither the count line nor the table is written.
MatchReport RunMatch(const MatchRequest& request, MatchRunOutput& output,
                     WorkProgress* progress = nullptr);

// request's pattern compiled as a run compiles it, for many runs to share; none when it holds a
// character the program's text cannot hold or does not compile: each run then says why.
std::shared_ptr<const regex> CompilePattern(const MatchRequest& request);

// "共找到 " + count + " 处匹配结果：" in program text.
std::string CountLine(std::int64_t match_count);

}  // namespace lintaro
