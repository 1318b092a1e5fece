// The regular-expression object: one compiled pattern over the program's byte text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/work_progress.h"
#include "match/parallel_search.h"
#include "match/search_result.h"

namespace lintaro {

// Holds nothing or one compiled expression. One byte is one character to the pattern; letter
// case and character classes follow the user's locale. No operation throws: every error of
// the engine becomes an ordinary result.
class regex {
  public:
    regex();
    ~regex();
    regex(const regex&) = delete;
    regex& operator=(const regex&) = delete;

    // Compiles pattern with the engine's Perl syntax, ignoring letter case unless
    // case_sensitive. False for an empty or rejected pattern; the object then keeps what it
    // held before, and CompileError* say why.
    bool Compile(std::string_view pattern, bool case_sensitive);
    // The engine's message for the last failed Compile, empty after a successful one.
    const std::string& CompileErrorMessage() const { return compile_error_message_; }
    // Offset in the pattern where the last failed Compile stopped, -1 when unknown.
    std::int64_t CompileErrorPosition() const { return compile_error_position_; }

    // Every match in text, in order. Each search after the first treats its own start as the
    // start of a text, so "^", "\b" and look-behind see nothing before it; an empty match at
    // the start of a search ends the run. An engine error ends it too, keeping the matches
    // found so far. Holding no expression, or an empty text, gives no match. A large text is
    // searched by several threads (see SearchInParts), with the same result. progress, when
    // given, shows how far the search has come and can cancel it.
    SearchResults SearchAll(std::string_view text, const SearchOptions& options = {},
                            WorkProgress* progress = nullptr) const;

    // Makes the cursors SearchAll searches text with, for a search run elsewhere (SearchInParts);
    // an empty function when the object holds nothing.
    CursorFactory MakeCursors(std::string_view text, StartSkip skip) const;

    // Number of capturing groups; 0 when the object holds nothing.
    int GetGroupCount() const;

  private:
    struct Expression;
    std::unique_ptr<Expression> expression_;
    std::string compile_error_message_;
    std::int64_t compile_error_position_ = -1;
};

}  // namespace lintaro
