// Which patterns a search may skip ahead in: those whose matches begin where a byte scan says.
#pragma once

#include <string_view>

namespace lintaro {

// Whether pattern is made only of constructs for which trying the engine at the places a byte
// scan finds gives what the engine's own search would: literals, character classes and
// escapes, groups, alternatives, quantifiers, look-ahead, "^", "$", "\A", "\z", "\Z" (not
// inside a negative look-ahead, which would turn their holding at a probed place into a
// failure), the options i, m and s, "\Q...\E" and "(?#...)" comments. Anything else makes it false:
// word boundaries and look-behind judge the bytes before the place, back-references and conditions
// depend on earlier groups, "\G" on where the search began, verbs such as (*SKIP) and (*COMMIT) on
// the places tried before, and the option x changes how the pattern reads.
bool PatternAllowsStartSkip(std::string_view pattern);

// Whether pattern allows the skip and, besides, finds the same matches at a place whatever
// earlier place its search began at: it holds neither "^" nor "\A", which hold where the search
// began. A search over such a pattern that finds no match beginning up to some place gives from
// there on what a search begun there gives.
bool PatternIgnoresWhereItsSearchBegan(std::string_view pattern);

}  // namespace lintaro
