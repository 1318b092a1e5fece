// Replacing find texts in a text, pass after pass, the way cell texts are escaped for export.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/character_walk.h"

namespace lintaro {

// One find text and the text that replaces it.
struct ReplacePair {
    std::string_view find;
    std::string_view replacement;
};

// Runs ReplacePairs for one set of pairs over many texts (every cell of an export).
class PairReplacer {
  public:
    PairReplacer(std::span<const ReplacePair> pairs, CharacterSetKind kind);

    // Appends text with the pairs replaced to out.
    void AppendReplaced(std::string& out, std::string_view text) const;
    // A quick estimate of the replaced text's size, for reserving: exact for single-byte find
    // texts unless they sit inside multi-byte characters; text's own size otherwise.
    std::size_t EstimateReplacedSize(std::string_view text) const;

  private:
    struct Pair {
        std::string find;
        std::string replacement;
    };
    static constexpr std::int8_t kNoPair = -1;

    std::string ReplaceByPasses(std::string_view text) const;
    std::size_t FindAtCharacter(std::string_view text, std::string_view find) const;

    std::vector<Pair> pairs_;  // only those with a find text
    CharacterSetKind kind_;
    // Set when every find text is a distinct single ASCII byte and no replacement holds a
    // find byte or a non-ASCII byte: then one left-to-right scan gives what the passes give.
    bool single_scan_ = true;
    std::array<std::int8_t, 256> pair_of_byte_{};
    // How many bytes longer the text gets for each find byte of the one-scan path.
    std::array<std::size_t, 256> growth_of_byte_{};
};

// text with the pairs replaced. Pairs with an empty find text take no part. A pass lets each
// pair in turn replace the first occurrence of its find text that starts at a character
// (never inside a multi-byte character); passes repeat until no find text is left. A
// replacement must not contain a find text of the same call, or the passes never end.
std::string ReplacePairs(std::string_view text, std::span<const ReplacePair> pairs,
                         CharacterSetKind kind = ProgramCharacterSetKind());

}  // namespace lintaro
