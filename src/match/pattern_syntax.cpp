// Reading the engine's Perl pattern syntax construct by construct.
#include "match/pattern_syntax.h"

#include <cctype>

namespace lintaro {

std::size_t IndexAfter(std::string_view pattern, std::size_t i, std::string_view close) {
    const std::size_t found = pattern.find(close, i);
    return found == std::string_view::npos ? pattern.size() : found + close.size();
}

std::size_t SkipCharacterClass(std::string_view pattern, std::size_t i) {
    const auto is_letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    ++i;
    if (i < pattern.size() && pattern[i] == '^') ++i;
    if (i < pattern.size() && pattern[i] == ']') ++i;  // a leading ']' is a member
    while (i < pattern.size() && pattern[i] != ']') {
        if (pattern[i] == '\\') {
            i += 2;
        } else if (pattern.compare(i, 2, "[:") == 0) {
            std::size_t name = i + 2;
            if (name < pattern.size() && pattern[name] == '^') ++name;
            while (name < pattern.size() && is_letter(pattern[name])) ++name;
            if (pattern.compare(name, 2, ":]") != 0) return kUnreadable;
            i = name + 2;
        } else if (pattern.compare(i, 2, "[=") == 0 || pattern.compare(i, 2, "[.") == 0) {
            const char close[] = {pattern[i + 1], ']'};
            i = IndexAfter(pattern, i + 2, std::string_view(close, 2));
        } else {
            ++i;
        }
    }
    return i + 1;
}

}  // namespace lintaro
