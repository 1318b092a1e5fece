// The regular-expression object over Boost.Regex; the only file that uses the engine.
#include "match/regex.h"

#include <boost/regex.hpp>

#include <exception>
#include <locale>

namespace lintaro {

namespace {

using Engine = boost::basic_regex<char, boost::cpp_regex_traits<char>>;

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

SearchResults regex::SearchAll(std::string_view text) const {
    SearchResults results(GetGroupCount());
    if (!expression_ || text.empty()) return results;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* search_start = begin;
    boost::match_results<const char*> match;
    const auto flags = boost::match_default | boost::format_all;
    try {
        // Passing search_start as the base makes every search see a text of its own.
        while (boost::regex_search(search_start, end, match, expression_->engine, flags,
                                   search_start)) {
            std::span<SubMatchSpan> spans = results.AppendMatch();
            for (std::size_t i = 0; i < spans.size(); ++i) {
                if (!match[static_cast<int>(i)].matched) continue;
                spans[i].offset = match[static_cast<int>(i)].first - begin;
                spans[i].length =
                    match[static_cast<int>(i)].second - match[static_cast<int>(i)].first;
            }
            // An empty match where the search began would be found again forever.
            if (match[0].second == search_start) break;
            search_start = match[0].second;
        }
    } catch (const std::exception& error) {
        results.SetEngineGaveUp(error.what());
    }
    return results;
}

int regex::GetGroupCount() const {
    return expression_ ? static_cast<int>(expression_->engine.mark_count()) : 0;
}

}  // namespace lintaro
