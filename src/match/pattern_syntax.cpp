// Reading the engine's Perl pattern syntax construct by construct.
#include "match/pattern_syntax.h"

#include <algorithm>
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

std::string WithoutCommentsAfterPossessiveRepeats(std::string_view pattern) {
    std::string kept;
    kept.reserve(pattern.size());
    bool after_repeat = false;  // the byte kept last ends a repeat: * + ? or }
    for (std::size_t i = 0; i < pattern.size();) {
        // Escapes, quoted text, classes and comments pass whole, so no byte inside them is
        // taken for a repeat or a comment.
        std::size_t end = i + 1;
        if (pattern.compare(i, 2, "\\Q") == 0) {
            end = IndexAfter(pattern, i + 2, "\\E");
        } else if (pattern[i] == '\\') {
            end = i + 2;
        } else if (pattern[i] == '[') {
            end = SkipCharacterClass(pattern, i);
        } else if (pattern.compare(i, 3, "(?#") == 0) {
            end = IndexAfter(pattern, i + 3, ")");
        }
        end = std::min(end, pattern.size());
        const bool possessive = after_repeat && end == i + 1 && pattern[i] == '+';
        after_repeat =
            end == i + 1 && std::string_view("*+?}").find(pattern[i]) != std::string_view::npos;
        kept.append(pattern.substr(i, end - i));
        i = end;
        if (!possessive) continue;
        after_repeat = false;
        for (;;) {
            std::size_t comment = i;
            while (comment < pattern.size() &&
                   std::isspace(static_cast<unsigned char>(pattern[comment])) != 0) {
                ++comment;
            }
            if (pattern.compare(comment, 3, "(?#") != 0) break;
            kept.append(pattern.substr(i, comment - i));
            i = IndexAfter(pattern, comment + 3, ")");
        }
    }
    return kept;
}

}  // namespace lintaro
