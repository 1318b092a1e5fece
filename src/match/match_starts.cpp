// Where in a text a match of a pattern can begin, learnt by asking the compiled expression.
#include "match/match_starts.h"

#include <utility>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "base/cpu_features.h"
#include "match/start_skip_pattern.h"

namespace lintaro {

namespace {

// Byte pairs are learnt only for this many first bytes or fewer (a literal's first letter in
// both cases, or the first letters of a few alternatives): 256 probes per first byte.
constexpr int kMostPairedFirstBytes = 8;

}  // namespace

MatchStarts::ByteRanges MatchStarts::RangesOf(const std::bitset<256>& set) {
    // Letters in both cases (and any other byte pair that differs only in 0x20) become one
    // folding range; the rest ranges of their own.
    std::bitset<256> folded;
    std::bitset<256> plain = set;
    for (std::size_t b = 0x20; b < 256; ++b) {
        if ((b & 0x20) != 0 && set[b] && set[b & ~std::size_t{0x20}]) {
            folded[b] = true;
            plain[b] = false;
            plain[b & ~std::size_t{0x20}] = false;
        }
    }
    // Runs of consecutive bytes, as (first, last) with their fold.
    struct Run {
        std::size_t first;
        std::size_t last;
        unsigned char fold;
    };
    std::vector<Run> runs;
    for (const auto& [members, fold] : {std::pair{folded, 0x20}, std::pair{plain, 0}}) {
        for (std::size_t b = 0; b < 256; ++b) {
            if (!members[b]) continue;
            if (!runs.empty() && runs.back().fold == fold && runs.back().last + 1 == b) {
                runs.back().last = b;
            } else {
                runs.push_back({b, b, static_cast<unsigned char>(fold)});
            }
        }
    }
    // Too many runs: join the two nearest of the same fold, which only adds candidates, until
    // they fit; a set of scattered bytes is better served by its table.
    while (runs.size() > kMostRanges) {
        std::size_t best = runs.size();
        for (std::size_t k = 0; k + 1 < runs.size(); ++k) {
            if (runs[k].fold != runs[k + 1].fold) continue;
            if (best == runs.size() ||
                runs[k + 1].first - runs[k].last < runs[best + 1].first - runs[best].last) {
                best = k;
            }
        }
        if (best == runs.size() || runs[best + 1].first - runs[best].last > 16) return {};
        runs[best].last = runs[best + 1].last;
        runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(best) + 1);
    }
    ByteRanges ranges;
    for (const Run& run : runs) {
        ByteRange& range = ranges.ranges[ranges.count++];
        range.low.fill(static_cast<unsigned char>(run.first));
        range.span.fill(static_cast<unsigned char>(run.last - run.first));
        range.fold.fill(run.fold);
        range.single = run.first == run.last;
    }
    return ranges;
}

std::optional<MatchStarts> MatchStarts::Learn(std::string_view pattern,
                                              const MatchStartProbe& probe) {
    if (!PatternAllowsStartSkip(pattern) || probe({})) return std::nullopt;
    MatchStarts starts;
    for (std::size_t b = 0; b < 256; ++b) {
        const char head = static_cast<char>(b);
        starts.first_[b] = probe(std::string_view(&head, 1));
    }
    if (starts.first_.all()) return std::nullopt;
    starts.first_ranges_ = RangesOf(starts.first_);
    if (starts.first_.count() <= kMostPairedFirstBytes) {
        starts.pairs_ = true;
        for (std::size_t b = 0; b < 256; ++b) {
            if (!starts.first_[b]) continue;
            for (std::size_t n = 0; n < 256; ++n) {
                const char head[2] = {static_cast<char>(b), static_cast<char>(n)};
                starts.second_[b][n] = probe(std::string_view(head, 2));
            }
        }
        for (std::size_t k = 0; k < starts.first_ranges_.count; ++k) {
            const ByteRange& range = starts.first_ranges_.ranges[k];
            std::bitset<256> following;
            for (std::size_t b = 0; b < 256; ++b) {
                const auto offset = static_cast<unsigned char>((b | range.fold[0]) - range.low[0]);
                if (starts.first_[b] && offset <= range.span[0]) following |= starts.second_[b];
            }
            starts.second_ranges_[k] = RangesOf(following);
        }
        starts.pair_nibbles_ = PairNibblesOf(starts.first_, starts.second_);
    }
    return starts;
}

MatchStarts::PairNibbles MatchStarts::PairNibblesOf(
    const std::bitset<256>& first, const std::array<std::bitset<256>, 256>& second) {
    PairNibbles nibbles;
    // One group per first byte, folded with its other case when it is a letter; a ninth
    // group and more share the bits of the first ones, which only adds candidates.
    std::array<int, 256> group_of_key{};
    group_of_key.fill(-1);
    int groups = 0;
    for (std::size_t b = 0; b < 256; ++b) {
        if (!first[b]) continue;
        const bool letter = (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
        const std::size_t key = letter ? (b | 0x20) : b;
        if (group_of_key[key] < 0) group_of_key[key] = groups++ % 8;
        const auto bit = static_cast<unsigned char>(1U << group_of_key[key]);
        nibbles.first_low[b & 0x0F] |= bit;
        nibbles.first_high[b >> 4] |= bit;
        for (std::size_t n = 0; n < 256; ++n) {
            if (!second[b][n]) continue;
            nibbles.second_low[n & 0x0F] |= bit;
            nibbles.second_high[n >> 4] |= bit;
        }
    }
    return nibbles;
}

#if defined(__SSE2__)
namespace {

// The bytes of block inside range, as a mask of 0xFF bytes.
template <typename Range>
[[gnu::always_inline]] inline __m128i InRange(__m128i block, const Range& range) {
    const auto load = [](const auto& repeated) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(repeated.data()));
    };
    const __m128i folded = _mm_or_si128(block, load(range.fold));
    if (range.single) return _mm_cmpeq_epi8(folded, load(range.low));
    const __m128i offset = _mm_sub_epi8(folded, load(range.low));
    // offset <= span, unsigned: the minimum of the two is offset itself.
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, load(range.span)), offset);
}

// The bytes of block inside one of ranges, as a bit mask; all of them when there are none.
template <typename Ranges>
[[gnu::always_inline]] inline unsigned InRanges(__m128i block, const Ranges& ranges) {
    if (ranges.count == 0) return 0xFFFF;
    __m128i hits = _mm_setzero_si128();
    for (std::size_t k = 0; k < ranges.count; ++k) {
        hits = _mm_or_si128(hits, InRange(block, ranges.ranges[k]));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

}  // namespace
#endif

bool MatchStarts::StartsHere(const unsigned char* text, std::size_t size, std::size_t at) const {
    if (!first_[text[at]]) return false;
    // A first byte at the very end can still begin a match of one byte.
    return !pairs_ || at + 1 == size || second_[text[at]][text[at + 1]];
}

#if defined(__x86_64__)
namespace {

// The same 16 entries in both halves: the shuffle looks up within each half.
[[gnu::target("avx2")]] __m256i TableOf(const std::array<unsigned char, 16>& entries) {
    return _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(entries.data())));
}

// The entries of both tables for each byte's low and high half, and-ed.
[[gnu::target("avx2")]] __m256i LookUp(__m256i low_table, __m256i high_table, __m256i bytes) {
    const __m256i low_half = _mm256_set1_epi8(0x0F);
    return _mm256_and_si256(
        _mm256_shuffle_epi8(low_table, _mm256_and_si256(bytes, low_half)),
        _mm256_shuffle_epi8(high_table, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), low_half)));
}

}  // namespace

[[gnu::target("avx2")]] std::size_t MatchStarts::NextByPairNibbles(const unsigned char* text,
                                                                   std::size_t size,
                                                                   std::size_t i) const {
    const __m256i first_low = TableOf(pair_nibbles_.first_low);
    const __m256i first_high = TableOf(pair_nibbles_.first_high);
    const __m256i second_low = TableOf(pair_nibbles_.second_low);
    const __m256i second_high = TableOf(pair_nibbles_.second_high);
    const __m256i zero = _mm256_setzero_si256();
    for (; i + 33 <= size; i += 32) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 1));
        const __m256i groups = _mm256_and_si256(LookUp(first_low, first_high, block),
                                                LookUp(second_low, second_high, next));
        auto mask =
            ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(groups, zero)));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (StartsHere(text, size, at)) return at;
            mask &= mask - 1;
        }
    }
    return i;
}
#else
std::size_t MatchStarts::NextByPairNibbles(const unsigned char* /*text*/, std::size_t /*size*/,
                                           std::size_t i) const {
    return i;
}
#endif

std::size_t MatchStarts::NextByRanges(const unsigned char* text, std::size_t size,
                                      std::size_t i) const {
#if defined(__SSE2__)
    // Compare 16 places at a time: their first byte with the first bytes' ranges and the byte
    // after it with the ranges of the bytes that can follow; the tables then decide.
    const auto load = [&](std::size_t at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    };
    for (; i + 17 <= size; i += 16) {
        const __m128i block = load(i);
        unsigned mask = 0;
        for (std::size_t k = 0; k < first_ranges_.count; ++k) {
            const auto firsts =
                static_cast<unsigned>(_mm_movemask_epi8(InRange(block, first_ranges_.ranges[k])));
            if (firsts != 0) mask |= firsts & InRanges(load(i + 1), second_ranges_[k]);
        }
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (StartsHere(text, size, at)) return at;
            mask &= mask - 1;
        }
    }
#endif
    return i;
}

std::int64_t MatchStarts::Next(std::string_view text, std::int64_t from) const {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = static_cast<std::size_t>(from);
    // The pair tables cost the same however many first bytes there are; the ranges serve
    // where there are too many first bytes for pairs, or no AVX2.
    if (pairs_ && CpuHasAvx2()) {
        i = NextByPairNibbles(bytes, size, i);
    } else if (first_ranges_.count > 0) {
        i = NextByRanges(bytes, size, i);
    }
    for (; i < size; ++i) {
        if (StartsHere(bytes, size, i)) return static_cast<std::int64_t>(i);
    }
    return static_cast<std::int64_t>(size);
}

}  // namespace lintaro
