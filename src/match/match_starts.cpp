// Where in a text a match of a pattern can begin, learnt by asking the compiled expression.
#include "match/match_starts.h"

#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lintaro {

namespace {

// Byte pairs are learnt only for this many first bytes or fewer (a literal's first letter in
// both cases, or the first letters of a few alternatives): 256 probes per first byte.
constexpr int kMostPairedFirstBytes = 8;

// Skips a character class starting at pattern[i] == '['; returns the index after its ']'.
std::size_t SkipClass(std::string_view pattern, std::size_t i) {
    ++i;
    if (i < pattern.size() && pattern[i] == '^') ++i;
    if (i < pattern.size() && pattern[i] == ']') ++i;  // a leading ']' is a member
    while (i < pattern.size() && pattern[i] != ']') {
        if (pattern[i] == '\\') {
            i += 2;
        } else if (pattern.compare(i, 2, "[:") == 0 || pattern.compare(i, 2, "[=") == 0 ||
                   pattern.compare(i, 2, "[.") == 0) {
            const std::size_t close = pattern.find(std::string{pattern[i + 1], ']'}, i + 2);
            i = close == std::string_view::npos ? pattern.size() : close + 2;
        } else {
            ++i;
        }
    }
    return i + 1;
}

}  // namespace

bool PatternLooksBehind(std::string_view pattern) {
    // Escapes that test the text before the place (anchors, word boundaries, \G, \K's reset
    // is harmless) or refer back to groups; \Q quotes text we would have to parse apart.
    constexpr std::string_view kEscapes = "bBAG`<>kgQ123456789";
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\\') {
            if (i + 1 < pattern.size() && kEscapes.find(pattern[i + 1]) != std::string_view::npos) {
                return true;
            }
            i += 2;
        } else if (c == '[') {
            // Only the word-boundary classes look around inside a class.
            const std::size_t end = SkipClass(pattern, i);
            const std::string_view klass = pattern.substr(i, end - i);
            if (klass.find(":<:") != std::string_view::npos ||
                klass.find(":>:") != std::string_view::npos) {
                return true;
            }
            i = end;
        } else if (c == '^') {
            return true;
        } else if (c == '(' && pattern.compare(i, 2, "(?") == 0) {
            const std::string_view rest = pattern.substr(i + 2);
            // Look-behind, conditions, named back-references.
            if (rest.starts_with("<=") || rest.starts_with("<!") || rest.starts_with("(") ||
                rest.starts_with("P=")) {
                return true;
            }
            // Inline options with x make white space and # comments, which this scan does not
            // follow.
            const std::size_t options_end = rest.find_first_not_of("imsx-");
            const std::string_view options = rest.substr(0, options_end);
            if (options.find('x') != std::string_view::npos) return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

std::optional<MatchStarts> MatchStarts::Learn(std::string_view pattern,
                                              const MatchStartProbe& probe) {
    if (PatternLooksBehind(pattern) || probe({})) return std::nullopt;
    MatchStarts starts;
    int first_count = 0;
    for (int b = 0; b < 256; ++b) {
        const char head = static_cast<char>(b);
        starts.first_[static_cast<std::size_t>(b)] = probe(std::string_view(&head, 1));
        if (starts.first_[static_cast<std::size_t>(b)]) {
            if (first_count < 3)
                starts.few_[static_cast<std::size_t>(first_count)] = static_cast<unsigned char>(b);
            ++first_count;
        }
    }
    if (first_count == 256) return std::nullopt;
    starts.few_count_ = first_count <= 3 ? first_count : 0;
    if (first_count <= kMostPairedFirstBytes) {
        starts.pairs_ = true;
        for (int b = 0; b < 256; ++b) {
            if (!starts.first_[static_cast<std::size_t>(b)]) continue;
            for (int n = 0; n < 256; ++n) {
                const char head[2] = {static_cast<char>(b), static_cast<char>(n)};
                starts.second_[static_cast<std::size_t>(b)][static_cast<std::size_t>(n)] =
                    probe(std::string_view(head, 2));
            }
        }
    }
    return starts;
}

std::int64_t MatchStarts::Next(std::string_view text, std::int64_t from) const {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = static_cast<std::size_t>(from);
    const auto starts_here = [&](std::size_t at) {
        if (!first_[bytes[at]]) return false;
        // A first byte at the very end can still begin a match of one byte.
        return !pairs_ || at + 1 == size || second_[bytes[at]][bytes[at + 1]];
    };
#if defined(__SSE2__)
    if (few_count_ > 0) {
        // Compare 16 bytes at a time with each of the few first bytes.
        const __m128i one = _mm_set1_epi8(static_cast<char>(few_[0]));
        const __m128i two = _mm_set1_epi8(static_cast<char>(few_[few_count_ > 1 ? 1 : 0]));
        const __m128i three = _mm_set1_epi8(static_cast<char>(few_[few_count_ > 2 ? 2 : 0]));
        while (i + 16 <= size) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i hits =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, one), _mm_cmpeq_epi8(block, two)),
                             _mm_cmpeq_epi8(block, three));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
            while (mask != 0) {
                const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                if (starts_here(at)) return static_cast<std::int64_t>(at);
                mask &= mask - 1;
            }
            i += 16;
        }
    }
#endif
    for (; i < size; ++i) {
        if (starts_here(i)) return static_cast<std::int64_t>(i);
    }
    return static_cast<std::int64_t>(size);
}

}  // namespace lintaro
