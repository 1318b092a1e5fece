// The regular-expression object over Boost.Regex; the only file that uses the engine.
#include "match/regex.h"

#include <boost/regex.hpp>

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <locale>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "match/literal_alternatives.h"
#include "match/match_starts.h"
#include "match/pattern_syntax.h"
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
// A choice among more literals than this is looked for by its literals: the byte starts learnt
// for it would let nearly every letter through.
constexpr std::size_t kMostAlternativesForByteStarts = 8;

// Whether the locale's case mappings keep every byte within the pair of bytes that differ only
// in bit 0x20, the folding LiteralAlternatives compares with.
bool CaseStaysWithinItsPair(const std::locale& locale) {
    const auto& ctype = std::use_facet<std::ctype<char>>(locale);
    for (unsigned b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        for (const char mapped : {ctype.tolower(c), ctype.toupper(c)}) {
            if ((static_cast<unsigned char>(mapped) | 0x20U) != (b | 0x20U)) return false;
        }
    }
    return true;
}

// The expression narrowed to the alternatives of its literal choice that can take part at a
// place, compiled once for each set of them the thread meets. Narrowed, an attempt at the place
// costs what the few alternatives cost, where the whole choice is walked alternative by
// alternative.
class NarrowedEngines {
  public:
    NarrowedEngines(std::shared_ptr<const Engine> whole,
                    std::shared_ptr<const LiteralAlternatives> literals)
        : whole_(std::move(whole)), literals_(std::move(literals)), single_(literals_->Count()) {}

    const Engine& For(const std::vector<std::uint32_t>& alternatives) {
        if (alternatives.empty()) return *whole_;
        std::unique_ptr<const Engine>& engine =
            alternatives.size() == 1 ? single_[alternatives[0]] : SeveralEntry(alternatives);
        if (!engine) engine = Compile(alternatives);
        return engine ? *engine : *whole_;
    }

  private:
    // Sets of several alternatives begin at one place only where literals begin alike; the
    // kept ones are dropped when a text brings very many.
    static constexpr std::size_t kMostKeptSets = 4096;
    std::unique_ptr<const Engine>& SeveralEntry(const std::vector<std::uint32_t>& alternatives) {
        if (several_.size() >= kMostKeptSets && !several_.contains(alternatives)) several_.clear();
        return several_[alternatives];
    }
    // Nothing when the engine refuses the narrowed pattern, which the whole then serves.
    std::unique_ptr<const Engine> Compile(const std::vector<std::uint32_t>& alternatives) const {
        try {
            auto engine = std::make_unique<Engine>();
            engine->imbue(whole_->getloc());
            engine->assign(literals_->PatternWith(alternatives), whole_->flags());
            return engine;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception&) {
            return nullptr;
        }
    }

    std::shared_ptr<const Engine> whole_;
    std::shared_ptr<const LiteralAlternatives> literals_;
    std::vector<std::unique_ptr<const Engine>> single_;
    std::map<std::vector<std::uint32_t>, std::unique_ptr<const Engine>> several_;
};

// The calling thread's own copies of an expression: the whole, and the narrowed ones of its
// literal choice (none without one).
struct ThreadEngines {
    std::shared_ptr<const Engine> whole;
    std::shared_ptr<NarrowedEngines> narrowed;
};

// Searches with the engine. Passing the search's start as the base of the text makes every
// search see a text of its own that begins there, also when the engine is started at a later
// candidate place: "^", "\b" and look-behind judge against that base, not against where the
// engine began.
class EngineCursor : public SearchCursor {
  public:
    // engines are this thread's own (ThreadEngine). Where matches can begin is told by
    // literals when given (with engines.narrowed), else by starts when given.
    // stops_at_limit: the pattern finds the same matches at a place wherever its search began
    // (PatternIgnoresWhereItsSearchBegan), so a search may stop at a limit.
    EngineCursor(ThreadEngines engines, const LiteralAlternatives* literals,
                 const MatchStarts* starts, StartSkip skip, bool stops_at_limit,
                 std::string_view text)
        : engine_(std::move(engines.whole)),
          narrowed_(std::move(engines.narrowed)),
          text_(text),
          begin_(text.data()),
          end_(text.data() + text.size()),
          literals_(skip == StartSkip::kNone ? nullptr : literals),
          starts_(skip == StartSkip::kNone || literals_ ? nullptr : starts),
          each_candidate_(skip != StartSkip::kFirstCandidate),
          // The literals' candidates all begin a literal of the choice: too few fail for the
          // engine's own scan to pay.
          sampling_(skip == StartSkip::kAuto && !literals_),
          stops_at_limit_(stops_at_limit) {}

    Outcome SearchFrom(std::int64_t start, std::int64_t limit,
                       std::span<SubMatchSpan> spans) override {
        const char* const from = begin_ + start;
        const bool skips = literals_ || starts_;
        Outcome outcome = skips ? SearchCandidates(start, stops_at_limit_ ? limit : INT64_MAX)
                                : Search(*engine_, from, from, kSearchFlags);
        // The engine's budget depends on where it began: when it gives up after a skip, the
        // plain search decides, so the error (or success) is the engine's own.
        if (outcome == Outcome::kEngineError && skips) {
            outcome = Search(*engine_, from, from, kSearchFlags);
        }
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
    Outcome Search(const Engine& engine, const char* at, const char* base,
                   boost::match_flag_type flags) {
        try {
            return boost::regex_search(at, end_, match_, engine, flags, base) ? Outcome::kMatch
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
        std::int64_t candidate = NextCandidate(scanned, start);
        std::int64_t sampled_up_to = start;
        while (candidate < size) {
            if (candidate > limit) return Outcome::kNoMatchUpToLimit;
            if (!each_candidate_) return Search(*engine_, begin_ + candidate, base, kSearchFlags);
            const Outcome outcome = Search(EngineAt(candidate), begin_ + candidate, base,
                                           kSearchFlags | boost::match_continuous);
            if (sampling_) Sample(candidate + 1 - sampled_up_to, outcome != Outcome::kMatch);
            sampled_up_to = candidate + 1;
            if (outcome != Outcome::kNoMatch) return outcome;
            candidate = NextCandidate(scanned, candidate + 1);
        }
        return Outcome::kNoMatch;
    }

    std::int64_t NextCandidate(std::string_view scanned, std::int64_t from) const {
        return literals_ ? literals_->Next(scanned, from) : starts_->Next(scanned, from);
    }

    // The engine for an attempt at a candidate: narrowed to the alternatives whose literal is
    // there, or the whole.
    const Engine& EngineAt(std::int64_t candidate) {
        if (!literals_) return *engine_;
        literals_->AlternativesAt(text_, candidate, alternatives_);
        return narrowed_->For(alternatives_);
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
    std::shared_ptr<NarrowedEngines> narrowed_;
    std::string_view text_;
    const char* begin_;
    const char* end_;
    const LiteralAlternatives* literals_;
    const MatchStarts* starts_;
    bool each_candidate_;
    bool sampling_;
    bool stops_at_limit_;
    std::int64_t sampled_tries_ = 0;
    std::int64_t sampled_bytes_ = 0;
    std::int64_t failed_tries_ = 0;
    std::vector<std::uint32_t> alternatives_;
    boost::match_results<const char*> match_;
    std::string error_message_;
};

// The calling thread's own copies of the expression compiled, whose id tells it apart from
// every other ever compiled. Copies of a compiled expression share reference counts that every
// search updates, which threads searching at once would fight over; so each thread compiles the
// expression anew, once, and keeps it for its later searches with it (a folder of pages runs
// thousands of them), with the narrowed ones it compiles on the way.
ThreadEngines ThreadEngine(const Engine& compiled, std::uint64_t id,
                           const std::shared_ptr<const LiteralAlternatives>& literals) {
    struct Kept {
        std::uint64_t id = 0;
        ThreadEngines engines;
    };
    thread_local Kept kept;
    if (kept.id != id || !kept.engines.whole) {
        auto engine = std::make_shared<Engine>();
        engine->imbue(compiled.getloc());
        engine->assign(compiled.str(), compiled.flags());
        auto narrowed = literals ? std::make_shared<NarrowedEngines>(engine, literals) : nullptr;
        kept = {id, {std::move(engine), std::move(narrowed)}};
    }
    return kept.engines;
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

// Where matches of pattern, compiled as engine, can begin.
std::optional<MatchStarts> StartsOf(std::string_view pattern, const Engine& engine) {
    return MatchStarts::Learn(
        pattern, [&engine](std::string_view head) { return CouldMatchAt(engine, head); });
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
    // Shared with the threads' narrowed engines, which may outlive the expression.
    std::shared_ptr<const LiteralAlternatives> literals;
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
    // The engine's parser loops for ever on some comments (see pattern_syntax.h).
    const std::string kept = WithoutCommentsAfterPossessiveRepeats(pattern);
    pattern = kept;
    boost::regex_constants::syntax_option_type options = boost::regex_constants::perl;
    if (!case_sensitive) options |= boost::regex_constants::icase;
    try {
        auto expression = std::make_unique<Expression>();
        expression->engine.imbue(UserLocale());
        expression->engine.assign(pattern.data(), pattern.data() + pattern.size(), options);
        expression->starts = StartsOf(pattern, expression->engine);
        auto literals = LiteralAlternatives::Read(pattern, !case_sensitive);
        // A few literals behind word boundaries, which the byte starts cannot judge: every match
        // begins with a match of the literals alone, whose byte starts serve.
        if (literals && !expression->starts &&
            literals->Count() <= kMostAlternativesForByteStarts) {
            const std::string alone = literals->LiteralsPattern();
            Engine engine;
            engine.imbue(UserLocale());
            engine.assign(alone, options);
            expression->starts = StartsOf(alone, engine);
        }
        if (literals && (case_sensitive || CaseStaysWithinItsPair(UserLocale())) &&
            (literals->Count() > kMostAlternativesForByteStarts || !expression->starts)) {
            expression->literals =
                std::make_shared<const LiteralAlternatives>(std::move(*literals));
        }
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
        return std::make_unique<EngineCursor>(
            ThreadEngine(expression.engine, expression.id, expression.literals),
            expression.literals.get(), starts, skip, expression.ignores_where_search_began, text);
    };
}

int regex::GetGroupCount() const {
    return expression_ ? static_cast<int>(expression_->engine.mark_count()) : 0;
}

}  // namespace lintaro
