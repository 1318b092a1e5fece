// The regular-expression object over Boost.Regex; the only file that uses the engine.
#include "match/regex.h"

#include <boost/regex.hpp>

#include <array>
#include <exception>
#include <locale>
#include <memory>
#include <span>
#include <string>

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

// Searches with the engine. Passing the search's start as the base of the text makes every
// search see a text of its own that begins there.
class EngineCursor : public SearchCursor {
  public:
    // Compiles the expression anew: copies of a compiled expression share reference counts
    // that every search updates, which threads searching at once would fight over.
    EngineCursor(const Engine& compiled, std::string_view text)
        : begin_(text.data()), end_(text.data() + text.size()) {
        engine_.imbue(compiled.getloc());
        engine_.assign(compiled.str(), compiled.flags());
    }

    Outcome SearchFrom(std::int64_t start, std::span<SubMatchSpan> spans) override {
        const char* const from = begin_ + start;
        try {
            if (!boost::regex_search(from, end_, match_, engine_,
                                     boost::match_default | boost::format_all, from)) {
                return Outcome::kNoMatch;
            }
        } catch (const std::exception& error) {
            error_message_ = error.what();
            return Outcome::kEngineError;
        }
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const auto& group = match_[static_cast<int>(i)];
            spans[i] = group.matched
                           ? SubMatchSpan{group.first - begin_, group.second - group.first}
                           : SubMatchSpan{};
        }
        return Outcome::kMatch;
    }
    const std::string& ErrorMessage() const override { return error_message_; }

  private:
    Engine engine_;
    const char* begin_;
    const char* end_;
    boost::match_results<const char*> match_;
    std::string error_message_;
};

}  // namespace

struct regex::Expression {
    Engine engine;
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
    if (!expression_ || text.empty()) return SearchResults(GetGroupCount());
    const Engine& engine = expression_->engine;
    return SearchInParts(
        static_cast<std::int64_t>(text.size()), GetGroupCount(),
        [&engine, text] { return std::make_unique<EngineCursor>(engine, text); }, options,
        progress);
}

int regex::GetGroupCount() const {
    return expression_ ? static_cast<int>(expression_->engine.mark_count()) : 0;
}

}  // namespace lintaro
