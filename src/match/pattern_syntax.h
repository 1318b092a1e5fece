// Reading the engine's Perl pattern syntax construct by construct, for the readers that decide
// how a pattern may be searched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lintaro {

// What the readers answer for a construct they do not accept.
inline constexpr std::size_t kUnreadable = std::string_view::npos;

// The punctuation that stands for itself after a backslash; "\<", "\>", "\`" and "\'" are
// anchors.
inline constexpr std::string_view kEscapedPunctuation = R"(.\[]{}()*+?|^$/-#&~%!@"=,:;_ )";

// The index after the first close at or after i; the end of the pattern when there is none
// (the engine then rejects the pattern, or takes the rest as the construct's text).
std::size_t IndexAfter(std::string_view pattern, std::size_t i, std::string_view close);

// Reads the character class at pattern[i] == '['; returns the index after its ']', or
// kUnreadable for a member that is not a plain byte, range, escape or named class ("[[:<:]]"
// is a word boundary).
std::size_t SkipCharacterClass(std::string_view pattern, std::size_t i);

// pattern without the comments ("(?#...)") that follow a possessive repeat ("a++", "a*+",
// "a{2}+"), with or without white space between. The engine's parser loops for ever on such a
// comment when anything but another group follows it (" ++(?#c)a"); a comment matches nothing,
// so the pattern means what it meant.
std::string WithoutCommentsAfterPossessiveRepeats(std::string_view pattern);

}  // namespace lintaro
