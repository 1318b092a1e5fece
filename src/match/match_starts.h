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
    // told from the bytes that follow alone (the pattern may match the empty text, or has a
    // construct PatternAllowsStartSkip does not accept), or when every byte can begin a match.
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

    // The learnt byte pairs as tables of 16 entries, looked up per half byte: the first bytes
    // are put in up to eight groups (a letter with its other case), and the entry for a half
    // byte holds a bit for each group that has a first byte (or a byte that can follow one of
    // its first bytes) with that half. A place is a candidate when one group's bit is set in
    // all four look-ups.
    struct PairNibbles {
        alignas(16) Repeated first_low{};
        alignas(16) Repeated first_high{};
        alignas(16) Repeated second_low{};
        alignas(16) Repeated second_high{};
    };
    PairNibbles pair_nibbles_;
    static PairNibbles PairNibblesOf(const std::bitset<256>& first,
                                     const std::array<std::bitset<256>, 256>& second);

    // Whether the tables let a match begin at text[at].
    bool StartsHere(const unsigned char* text, std::size_t size, std::size_t at) const;
    // The first candidate at or after i that StartsHere accepts, found through the pair
    // tables, 32 places at a time; or the place from which fewer than 33 bytes are left.
    std::size_t NextByPairNibbles(const unsigned char* text, std::size_t size, std::size_t i) const;
    // The same through the ranges.
    std::size_t NextByRanges(const unsigned char* text, std::size_t size, std::size_t i) const;
};

}  // namespace lintaro
