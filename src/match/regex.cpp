// The regular-expression object over Boost.Regex; the only file that uses the engine.
#include "match/regex.h"

#include <boost/regex.hpp>

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <locale>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "match/match_starts.h"
#include "match/start_skip_pattern.h"

namespace lintaro {

namespace {

// The locale's traits with its case mappings read once into tables. The engine folds case one
// character at a time, and the locale answers each through a virtual call; with case ignored
// that call was the largest single cost of a search.
class CaseTableTraits : public boost::cpp_regex_traits<char> {
  public:
    CaseTableTraits() { FillTables(); }

    char translate(char c) const { return c; }
    char translate_nocase(char c) const { return lower_[Index(c)]; }
    char translate(char c, bool icase) const { return icase ? lower_[Index(c)] : c; }
    char tolower(char c) const { return lower_[Index(c)]; }
    char toupper(char c) const { return upper_[Index(c)]; }
    std::locale imbue(const std::locale& locale) {
        std::locale previous = cpp_regex_traits::imbue(locale);
        FillTables();
        return previous;
    }

  private:
    static std::size_t Index(char c) { return static_cast<unsigned char>(c); }
    void FillTables() {
        const auto& ctype = std::use_facet<std::ctype<char>>(getloc());
        for (std::size_t i = 0; i < lower_.size(); ++i) {
            lower_[i] = ctype.tolower(static_cast<char>(i));
            upper_[i] = ctype.toupper(static_cast<char>(i));
        }
    }

    std::array<char, 256> lower_{};
    std::array<char, 256> upper_{};
};

using Engine = boost::basic_regex<char, CaseTableTraits>;

// The user's locale for case folding and character classes. A locale named by the
// environment that is not installed falls back to the classic one instead of failing.
const std::locale& UserLocale() {
    static const std::locale locale = [] {
        try {
            return std::locale("");
        } catch (const std::exception&) {
            return std::locale::classic();
        }
    }();
    return locale;
}

const boost::match_flag_type kSearchFlags = boost::match_default | boost::format_all;

// Trying candidates one at a time pays while few of them fail: each try costs a call into the
// engine, about as much as the engine's own scan over a few dozen bytes. After this many tries,
// a cursor whose failed tries came more often than once per kBytesPerFailedTry bytes lets the
// engine scan from the first candidate instead.
constexpr std::int64_t kSampleTries = 512;
constexpr std::int64_t kBytesPerFailedTry = 64;
// How far past a search's limit candidates are looked for.
constexpr std::int64_t kLimitSlack = 64;

// Searches with the engine. Passing the search's start as the base of the text makes every
// search see a text of its own that begins there, also when the engine is started at a later
// candidate place: "^", "\b" and look-behind judge against that base, not against where the
// engine began.
class EngineCursor : public SearchCursor {
  public:
    // engine is this thread's own (ThreadEngine). starts, when given, tells where matches can
    // begin.
    // stops_at_limit: the pattern finds the same matches at a place wherever its search began
    // (PatternIgnoresWhereItsSearchBegan), so a search may stop at a limit.
    EngineCursor(std::shared_ptr<const Engine> engine, const MatchStarts* starts, StartSkip skip,
                 bool stops_at_limit, std::string_view text)
        : engine_(std::move(engine)),
          text_(text),
          begin_(text.data()),
          end_(text.data() + text.size()),
          starts_(skip == StartSkip::kNone ? nullptr : starts),
          each_candidate_(skip != StartSkip::kFirstCandidate),
          sampling_(skip == StartSkip::kAuto),
          stops_at_limit_(stops_at_limit) {}

    Outcome SearchFrom(std::int64_t start, std::int64_t limit,
                       std::span<SubMatchSpan> spans) override {
        const char* const from = begin_ + start;
        Outcome outcome = starts_ ? SearchCandidates(start, stops_at_limit_ ? limit : INT64_MAX)
                                  : Search(from, from, kSearchFlags);
        // The engine's budget depends on where it began: when it gives up after a skip, the
        // plain search decides, so the error (or success) is the engine's own.
        if (outcome == Outcome::kEngineError && starts_) outcome = Search(from, from, kSearchFlags);
        if (outcome != Outcome::kMatch) return outcome;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const auto& group = match_[static_cast<int>(i)];
            spans[i] = group.matched
                           ? SubMatchSpan{group.first - begin_, group.second - group.first}
                           : SubMatchSpan{};
        }
        return outcome;
    }
    const std::string& ErrorMessage() const override { return error_message_; }

  private:
    // Searches [at, end) as part of the text that begins at base.
    Outcome Search(const char* at, const char* base, boost::match_flag_type flags) {
        try {
            return boost::regex_search(at, end_, match_, *engine_, flags, base) ? Outcome::kMatch
                                                                                : Outcome::kNoMatch;
        } catch (const std::bad_alloc&) {
            throw;  // the search's to report, as memory running out
        } catch (const std::exception& error) {
            error_message_ = error.what();
            return Outcome::kEngineError;
        }
    }

    // The search from start, with the engine asked only where a match can begin; it ends once
    // the candidates pass limit. A text without matches is then scanned only up to the limit,
    // not to its end once for every part of it.
    Outcome SearchCandidates(std::int64_t start, std::int64_t limit) {
        const char* const base = begin_ + start;
        const auto size = static_cast<std::int64_t>(text_.size());
        // Candidates are looked for a little past the limit only: one there is as good as none.
        // The slack lets the scan judge a place up to the limit by the bytes that follow it.
        const std::string_view scanned =
            limit < size - kLimitSlack
                ? text_.substr(0, static_cast<std::size_t>(limit + kLimitSlack))
                : text_;
        std::int64_t candidate = starts_->Next(scanned, start);
        std::int64_t sampled_up_to = start;
        while (candidate < size) {
            if (candidate > limit) return Outcome::kNoMatchUpToLimit;
            if (!each_candidate_) return Search(begin_ + candidate, base, kSearchFlags);
            const Outcome outcome =
                Search(begin_ + candidate, base, kSearchFlags | boost::match_continuous);
            if (sampling_) Sample(candidate + 1 - sampled_up_to, outcome != Outcome::kMatch);
            sampled_up_to = candidate + 1;
            if (outcome != Outcome::kNoMatch) return outcome;
            candidate = starts_->Next(scanned, candidate + 1);
        }
        return Outcome::kNoMatch;
    }

    // Counts one try and the bytes since the previous one; decides the way once the sample is full.
    void Sample(std::int64_t bytes, bool failed) {
        sampled_bytes_ += bytes;
        failed_tries_ += failed ? 1 : 0;
        if (++sampled_tries_ < kSampleTries) return;
        sampling_ = false;
        each_candidate_ = failed_tries_ * kBytesPerFailedTry <= sampled_bytes_;
    }

    std::shared_ptr<const Engine> engine_;
    std::string_view text_;
    const char* begin_;
    const char* end_;
    const MatchStarts* starts_;
    bool each_candidate_;
    bool sampling_;
    bool stops_at_limit_;
    std::int64_t sampled_tries_ = 0;
    std::int64_t sampled_bytes_ = 0;
    std::int64_t failed_tries_ = 0;
    boost::match_results<const char*> match_;
    std::string error_message_;
};

// The calling thread's own copy of the expression compiled, whose id tells it apart from every
// other ever compiled. Copies of a compiled expression share reference counts that every search
// updates, which threads searching at once would fight over; so each thread compiles the
// expression anew, once, and keeps it for its later searches with it (a folder of pages runs
// thousands of them).
std::shared_ptr<const Engine> ThreadEngine(const Engine& compiled, std::uint64_t id) {
    struct Kept {
        std::uint64_t id = 0;
        std::shared_ptr<const Engine> engine;
    };
    thread_local Kept kept;
    if (kept.id != id || !kept.engine) {
        auto engine = std::make_shared<Engine>();
        engine->imbue(compiled.getloc());
        engine->assign(compiled.str(), compiled.flags());
        kept = {id, std::move(engine)};
    }
    return kept.engine;
}

// Whether an attempt at a place where the text continues with head could succeed: a match or
// a partial match (one that reached the end of head) when the attempt is anchored there. An
// engine error counts as yes.
bool CouldMatchAt(const Engine& engine, std::string_view head) {
    boost::match_results<const char*> match;
    try {
        return boost::regex_search(
            head.data(), head.data() + head.size(), match, engine,
            boost::match_default | boost::match_continuous | boost::match_partial);
    } catch (const std::exception&) {
        return true;
    }
}

}  // namespace

struct regex::Expression {
    // Ids count from 1, so that no expression is taken for another.
    static std::uint64_t NextId() {
        static std::atomic<std::uint64_t> last = 0;
        return ++last;
    }

    std::uint64_t id = NextId();
    Engine engine;
    std::optional<MatchStarts> starts;
    bool ignores_where_search_began = false;
};

regex::regex() = default;
regex::~regex() = default;

bool regex::Compile(std::string_view pattern, bool case_sensitive) {
    if (pattern.empty()) {
        compile_error_message_ = "the pattern is empty";
        compile_error_position_ = 0;
        return false;
    }
    boost::regex_constants::syntax_option_type options = boost::regex_constants::perl;
    if (!case_sensitive) options |= boost::regex_constants::icase;
    try {
        auto expression = std::make_unique<Expression>();
        expression->engine.imbue(UserLocale());
        expression->engine.assign(pattern.data(), pattern.data() + pattern.size(), options);
        expression->starts =
            MatchStarts::Learn(pattern, [&engine = expression->engine](std::string_view head) {
                return CouldMatchAt(engine, head);
            });
        expression->ignores_where_search_began = PatternIgnoresWhereItsSearchBegan(pattern);
        expression_ = std::move(expression);
        compile_error_message_.clear();
        compile_error_position_ = -1;
        return true;
    } catch (const boost::regex_error& error) {
        compile_error_message_ = error.what();
        compile_error_position_ = error.position();
    } catch (const std::exception& error) {
        compile_error_message_ = error.what();
        compile_error_position_ = -1;
    }
    return false;
}

SearchResults regex::SearchAll(std::string_view text, const SearchOptions& options,
                               WorkProgress* progress) const {
    const CursorFactory new_cursor = MakeCursors(text, options.skip);
    if (!new_cursor || text.empty()) return SearchResults(GetGroupCount());
    return SearchInParts(static_cast<std::int64_t>(text.size()), GetGroupCount(), new_cursor,
                         options, progress);
}

CursorFactory regex::MakeCursors(std::string_view text, StartSkip skip) const {
    if (!expression_) return {};
    const Expression& expression = *expression_;
    const MatchStarts* starts = expression.starts ? &*expression.starts : nullptr;
    return [&expression, starts, skip, text] {
        return std::make_unique<EngineCursor>(ThreadEngine(expression.engine, expression.id),
                                              starts, skip, expression.ignores_where_search_began,
                                              text);
    };
}

int regex::GetGroupCount() const {
    return expression_ ? static_cast<int>(expression_->engine.mark_count()) : 0;
}

}  // namespace lintaro
