// The match run: reads the subject file, runs the pattern over it and rebuilds the result table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/work_progress.h"
#include "match/parallel_search.h"
#include "match/search_result.h"
#include "match/subject_text.h"
#include "table/result_table.h"

namespace lintaro {

// The window's preset pattern: anchors whose link starts with http:// or https://.
inline constexpr const char* kPresetPattern = R"(<A HREF="(https?://[^/]+)\S*"[^>]*>([^<]*)</A>)";

// The stages of a match run that take time, in order. The table is built after the search.
enum class MatchStage { kRead, kDecode, kSearch };

// What a match run reads and writes. The window, the batch program and the tests each
// provide one, so all of them drive the very same run.
class MatchRunIo {
  public:
    virtual ~MatchRunIo() = default;
    // UTF-8, like the window's pattern box and the command line: the run itself refuses a
    // pattern that holds a character the program's text cannot hold.
    virtual std::string Pattern() const = 0;
    virtual bool IgnoreCase() const = 0;
    virtual std::string SubjectPath() const = 0;  // program text
    // The character set the subject file is read in (an iconv name); empty: UTF-8.
    virtual std::string SubjectCharset() const { return {}; }
    // Where the subject file is read from: the system's files unless a front end names its
    // own (the batch program reads standard input through its own).
    virtual FileSystem& SubjectFiles() const { return SystemFiles(); }
    // Whether the subject file is copied or mapped (see SubjectReading).
    virtual SubjectReading SubjectReadingWay() const { return SubjectReading::kCopy; }
    virtual void SetCountLine(const std::string& line) = 0;  // program text
    // Sees the matches and the searched text before the table is built. Only a front end that
    // prints them itself needs them; it may keep both.
    virtual void ReceiveMatches(const std::shared_ptr<const SearchResults>& /*results*/,
                                const std::shared_ptr<const TextBuffer>& /*text*/) {}
    // Receives the finished table; it replaces the previous one entirely.
    virtual void ReplaceTable(ResultTable&& table) = 0;
    // False for a front end that shows only the count or the positions: then no table is
    // built and ReplaceTable is not called.
    virtual bool WantsTable() const { return true; }
    // How wide a column heading is in the table's font (InsertColumn's width).
    virtual HeadingWidthFunction HeadingWidth() const = 0;
    // Told as each stage ends, so that a benchmark can time the stages of the very run.
    virtual void StageDone(MatchStage /*stage*/) {}
    // Where the search shows how far it has come and looks for a cancel request; none by
    // default. It is updated from the searching threads.
    virtual WorkProgress* Progress() { return nullptr; }
    // How the search splits the text among threads; by default one thread per processor this
    // process may run on.
    virtual SearchOptions SearchSettings() const { return {}; }
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
    // What a run was doing when memory ran out.
    enum class Stage { kRead, kDecode, kSearch, kTable };
    Problem problem = Problem::kNone;
    std::string detail;
    std::int64_t position = -1;
    std::int64_t match_count = 0;
    bool cancelled = false;  // the search was cancelled: the matches found until then are listed
    int error = 0;           // kFileUnreadable: an errno value or a code of base/system_error.h
    Stage stage = Stage::kRead;  // kOutOfMemory
    // Said beside the problem above, which may be another one: the file ended before the
    // length it had when it was opened (it shrank while being read), and the engine gave up
    // (also when the text was cut as well: then matches before the cut may be missing).
    bool file_shrank = false;
    bool engine_gave_up = false;
    std::string engine_message = {};
    // Characters of the file the program's text cannot hold: they became "?" in the text.
    std::int64_t replaced_characters = 0;
};

// Runs one match with the inputs of io and writes its count line and table. When memory runs
// out, the report says so and neither the count line nor the table is written.
MatchReport RunMatch(MatchRunIo& io);

// "共找到 " + count + " 处匹配结果：" in program text.
std::string CountLine(std::int64_t match_count);

// The headings of the result table's columns in program text: "序号", "匹配文本", then
// "子表达式匹配" + j for each of the group_count groups.
std::vector<std::string> ResultHeadings(int group_count);

}  // namespace lintaro
