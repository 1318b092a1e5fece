// Where in a text a match of a pattern can begin: the bytes (and for a few first bytes, the
// byte pairs) an attempt can succeed on, so a search can skip the places where none can.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
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
    // A set of bytes as at most kMostRanges ranges a block of bytes is compared with at once.
    // A range may fold letter case: it then holds each byte b with (b | 0x20) inside it. The
    // ranges may hold more bytes than the set, never fewer; empty when the set needs more.
    // Each byte of a range's fields repeats 16 times, ready to be compared with 16 bytes.
    using Repeated = std::array<unsigned char, 16>;
    struct ByteRange {
        alignas(16) Repeated low{};
        alignas(16) Repeated span{};  // the range is low .. low + span
        alignas(16) Repeated fold{};  // 0x20 when the range folds letter case, else 0
        bool single = false;          // one byte (or one letter in both cases)
    };
    static constexpr std::size_t kMostRanges = 8;
    struct ByteRanges {
        std::array<ByteRange, kMostRanges> ranges{};
        std::size_t count = 0;  // 0: no ranges to compare with
    };
    static ByteRanges RangesOf(const std::bitset<256>& set);

    MatchStarts() = default;

    std::bitset<256> first_;
    // second_[b] tells the bytes that can follow the first byte b; not learnt (pairs_ false)
    // when there are many first bytes.
    std::array<std::bitset<256>, 256> second_{};
    bool pairs_ = false;
    // The first bytes as ranges, and for each of them the bytes that can follow its first
    // bytes (no ranges: any byte).
    ByteRanges first_ranges_;
    std::array<ByteRanges, kMostRanges> second_ranges_{};
};

// Whether pattern may look at the text before the place a match is tried at, or match
// differently there than at the start of a text: anchors, word boundaries, look-behind,
// back-references, conditions. Errs towards yes.
bool PatternLooksBehind(std::string_view pattern);

}  // namespace lintaro
