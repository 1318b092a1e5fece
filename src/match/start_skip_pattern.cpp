// Which patterns a search may skip ahead in, decided by reading the pattern construct by
// construct and refusing any construct it does not know to be safe.
#include "match/start_skip_pattern.h"

#include <cstddef>
#include <vector>

#include "match/pattern_syntax.h"

namespace lintaro {

namespace {

constexpr std::size_t kUnsafe = kUnreadable;

// Whether "^" and "\A", which hold where the search began, count as safe.
enum class StartAnchors { kAllowed, kRefused };

// Reads the escape at pattern[i] == '\\'; returns the index after it, or kUnsafe. The anchors
// "\A", "\z" and "\Z" are the caller's to judge.
std::size_t SkipEscape(std::string_view pattern, std::size_t i) {
    if (i + 1 >= pattern.size()) return kUnsafe;
    const char c = pattern[i + 1];
    // Escaped punctuation that stands for itself; "\<", "\>", "\`" and "\'" are anchors.
    if (kEscapedPunctuation.find(c) != std::string_view::npos) return i + 2;
    // Classes and control bytes: they judge the bytes from the place on.
    constexpr std::string_view kSafe = "dDwWsShHvVtnrfea0";
    if (kSafe.find(c) != std::string_view::npos) return i + 2;
    switch (c) {
        case 'Q':  // quoted bytes up to \E
            return IndexAfter(pattern, i + 2, "\\E");
        case 'x':  // \xHH or \x{H...}; plain hex digits read on as literals
            return i + 2 < pattern.size() && pattern[i + 2] == '{' ? IndexAfter(pattern, i + 2, "}")
                                                                   : i + 2;
        case 'c':  // \cX, a control byte
            return i + 3;
        case 'p':
        case 'P':  // \pL or \p{Name}, a character class
            return i + 2 < pattern.size() && pattern[i + 2] == '{' ? IndexAfter(pattern, i + 2, "}")
                                                                   : i + 3;
        default:
            return kUnsafe;
    }
}

// Reads the opening of the group at pattern[i] == '('; returns the index after the opening
// (or after the whole of a comment), or kUnsafe.
std::size_t SkipGroupOpening(std::string_view pattern, std::size_t i) {
    const std::string_view rest = pattern.substr(i + 1);
    if (!rest.starts_with("?")) {
        return rest.starts_with("*") ? kUnsafe : i + 1;  // (*VERB) or a capturing group
    }
    const std::string_view kind = rest.substr(1);
    // Non-capturing and atomic groups, look-ahead.
    if (kind.starts_with(":") || kind.starts_with(">") || kind.starts_with("=") ||
        kind.starts_with("!")) {
        return i + 3;
    }
    if (kind.starts_with("#")) return IndexAfter(pattern, i + 3, ")");
    // Named groups; "(?<=" and "(?<!" are look-behind, "(?P=" and "(?P>" refer to a group.
    if (kind.starts_with("<") && !kind.starts_with("<=") && !kind.starts_with("<!")) {
        return IndexAfter(pattern, i + 3, ">");
    }
    if (kind.starts_with("P<")) return IndexAfter(pattern, i + 4, ">");
    if (kind.starts_with("'")) return IndexAfter(pattern, i + 3, "'");
    // Options, alone "(?i)" or for a group "(?i:"; x would make spaces and '#' mean nothing.
    const std::size_t options_end = kind.find_first_not_of("ims-");
    if (options_end == 0 || options_end == std::string_view::npos) return kUnsafe;
    if (kind[options_end] != ')' && kind[options_end] != ':') return kUnsafe;
    return i + 2 + options_end + 1;
}

bool ReadsOnlySafeConstructs(std::string_view pattern, StartAnchors start_anchors) {
    // For each group open at the place read, whether it is a negative look-ahead.
    std::vector<bool> open_groups;
    int open_negative = 0;
    // The anchors look only forward, or like "^" hold at the start of any text a scan would
    // try. Where a match can begin is learnt by probing each place as the start of a text of
    // one or two bytes, where they all hold; that only ever says yes too often, unless a
    // negative look-ahead turns their holding into a failure.
    const auto anchor = [&](std::size_t i, std::size_t length, bool start_anchor) {
        if (open_negative > 0) return kUnsafe;
        if (start_anchor && start_anchors == StartAnchors::kRefused) return kUnsafe;
        return i + length;
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        switch (pattern[i]) {
            case '\\':
                if (next == 'A' || next == 'z' || next == 'Z') {
                    i = anchor(i, 2, next == 'A');
                } else {
                    i = SkipEscape(pattern, i);
                }
                break;
            case '[':
                i = SkipCharacterClass(pattern, i);
                break;
            case '(': {
                const std::size_t after = SkipGroupOpening(pattern, i);
                // A comment and options alone, "(?#...)" and "(?i)", open no group.
                if (after != kUnsafe && pattern[after - 1] != ')') {
                    const bool negative = pattern.compare(i, 3, "(?!") == 0;
                    open_groups.push_back(negative);
                    open_negative += negative ? 1 : 0;
                }
                i = after;
                break;
            }
            case ')':
                if (!open_groups.empty()) {
                    open_negative -= open_groups.back() ? 1 : 0;
                    open_groups.pop_back();
                }
                ++i;
                break;
            case '^':
                i = anchor(i, 1, true);
                break;
            case '$':
                i = anchor(i, 1, false);
                break;
            default:
                // A literal byte, or one of | . and the quantifiers * + ? {n,m} with their lazy
                // and possessive marks.
                ++i;
                break;
        }
        if (i == kUnsafe) return false;
    }
    return true;
}

}  // namespace

bool PatternAllowsStartSkip(std::string_view pattern) {
    return ReadsOnlySafeConstructs(pattern, StartAnchors::kAllowed);
}

bool PatternIgnoresWhereItsSearchBegan(std::string_view pattern) {
    return ReadsOnlySafeConstructs(pattern, StartAnchors::kRefused);
}

}  // namespace lintaro
