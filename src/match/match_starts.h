// Where in a text a match of a pattern can begin: the bytes (and for a few first bytes, the
// byte pairs) an attempt can succeed on, so a search can skip the places where none can.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace lintaro {

// Answers whether an attempt to match at a place where the text continues with head (one or
// two bytes, or nothing: the end of the text) could succeed. It may say yes for a place where
// no match begins, never no for one where a match does.
using MatchStartProbe = std::function<bool(std::string_view head)>;

class MatchStarts {
  public:
    // The places a match of pattern can begin, learnt from probe; nothing when they cannot be
    // told from the bytes that follow alone (the pattern may match the empty text, or looks at
    // bytes before the place it is tried at: anchors, word boundaries, look-behind,
    // back-references), or when every byte can begin a match.
    static std::optional<MatchStarts> Learn(std::string_view pattern, const MatchStartProbe& probe);

    // The first place at or after from where a match can begin; text.size() when there is none.
    std::int64_t Next(std::string_view text, std::int64_t from) const;

  private:
    MatchStarts() = default;

    std::array<bool, 256> first_{};
    // second_[b] tells the bytes that can follow the first byte b; not learnt (pairs_ false)
    // when there are many first bytes.
    std::array<std::bitset<256>, 256> second_{};
    bool pairs_ = false;
    // The first bytes, when there are at most three of them: found by comparing blocks.
    std::array<unsigned char, 3> few_{};
    int few_count_ = 0;
};

// Whether pattern may look at the text before the place a match is tried at, or match
// differently there than at the start of a text: anchors, word boundaries, look-behind,
// back-references, conditions. Errs towards yes.
bool PatternLooksBehind(std::string_view pattern);

}  // namespace lintaro
