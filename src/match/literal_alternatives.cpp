// Choices among plain literals, read from the pattern's text and looked for by their prefixes.
#include "match/literal_alternatives.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstring>
#include <utility>

#include "match/pattern_syntax.h"

namespace lintaro {

namespace {

// Anchors that may stand before and after a literal: they match no byte, so a match still
// begins with the literal.
constexpr std::array<std::string_view, 4> kLeadingAnchors = {"\\b", "\\B", "\\A", "^"};
constexpr std::array<std::string_view, 5> kTrailingAnchors = {"\\b", "\\B", "\\z", "\\Z", "$"};

std::size_t SkipAnchors(std::string_view pattern, std::size_t i,
                        std::span<const std::string_view> anchors) {
    for (bool found = true; found;) {
        found = false;
        for (const std::string_view anchor : anchors) {
            if (pattern.compare(i, anchor.size(), anchor) == 0) {
                i += anchor.size();
                found = true;
            }
        }
    }
    return i;
}

bool IsQuantifier(std::string_view pattern, std::size_t i) {
    return i < pattern.size() &&
           std::string_view("?*+{").find(pattern[i]) != std::string_view::npos;
}

struct LiteralByte {
    char byte;
    std::size_t next;
};

// The byte pattern[i] stands for when it is a literal one: a byte that is not syntax, or escaped
// punctuation ("\<" and "\>" are anchors, "\`" and "\'" too).
std::optional<LiteralByte> ReadLiteralByte(std::string_view pattern, std::size_t i) {
    if (i >= pattern.size()) return std::nullopt;
    const char c = pattern[i];
    if (c == '\\') {
        if (i + 1 < pattern.size() &&
            kEscapedPunctuation.find(pattern[i + 1]) != std::string_view::npos) {
            return LiteralByte{pattern[i + 1], i + 2};
        }
        return std::nullopt;
    }
    constexpr std::string_view kSyntax = R"(^$.|?*+()[]{})";
    if (kSyntax.find(c) != std::string_view::npos) return std::nullopt;
    return LiteralByte{c, i + 1};
}

struct LiteralRun {
    std::string bytes;
    std::size_t next;
};

// The literal bytes from pattern[i] on, none of them quantified; nothing when there are none or
// the run ends in a quantified byte.
std::optional<LiteralRun> ReadLiteralRun(std::string_view pattern, std::size_t i) {
    LiteralRun run{{}, i};
    while (const auto literal = ReadLiteralByte(pattern, run.next)) {
        if (IsQuantifier(pattern, literal->next)) return std::nullopt;
        run.bytes += literal->byte;
        run.next = literal->next;
    }
    if (run.bytes.empty()) return std::nullopt;
    return run;
}

// Whether each attempt of the pattern at a place stands alone: no construct refers to where the
// search began ("\G"), to earlier attempts (verbs), or changes how the pattern reads (options),
// and none the readers here do not follow: conditions, recursion, branch reset, "\Q...\E" (and a
// lone "\E"), and comments, which can stand between a group and its quantifier.
bool AttemptsStandAlone(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') {
            if (i + 1 < pattern.size() &&
                std::string_view("GQE").find(pattern[i + 1]) != std::string_view::npos) {
                return false;
            }
            ++i;
        } else if (pattern.compare(i, 2, "(*") == 0) {
            return false;
        } else if (pattern.compare(i, 2, "(?") == 0) {
            const std::string_view kind = pattern.substr(i + 2);
            const bool named =
                kind.size() > 1 && kind[0] == '<' &&
                (std::isalpha(static_cast<unsigned char>(kind[1])) != 0 || kind[1] == '_');
            const bool known = kind.starts_with(":") || kind.starts_with("=") ||
                               kind.starts_with("!") || kind.starts_with("<=") ||
                               kind.starts_with("<!") || kind.starts_with(">") || named;
            if (!known) return false;
        }
    }
    return true;
}

// Whether the pattern from i on offers no choice outside its own groups.
bool OffersNoOtherChoice(std::string_view pattern, std::size_t i) {
    int depth = 0;
    while (i < pattern.size()) {
        switch (pattern[i]) {
            case '\\':
                i += 2;
                break;
            case '[':
                i = SkipCharacterClass(pattern, i);
                if (i == kUnreadable) return false;
                break;
            case '(':
                ++depth;
                ++i;
                break;
            case ')':
                if (--depth < 0) return false;
                ++i;
                break;
            case '|':
                if (depth == 0) return false;
                ++i;
                break;
            default:
                ++i;
                break;
        }
    }
    return true;
}

// The index after the opening of a group at pattern[i] whose alternatives a match takes as
// written: capturing, named, non-capturing or atomic; kUnreadable for anything else.
std::size_t AfterGroupOpening(std::string_view pattern, std::size_t i) {
    if (i >= pattern.size() || pattern[i] != '(') return kUnreadable;
    const std::string_view kind = pattern.substr(i + 1);
    if (!kind.starts_with("?")) return kind.starts_with("*") ? kUnreadable : i + 1;
    if (kind.starts_with("?:") || kind.starts_with("?>")) return i + 3;
    if (kind.starts_with("?<") && !kind.starts_with("?<=") && !kind.starts_with("?<!")) {
        return IndexAfter(pattern, i + 3, ">");
    }
    return kUnreadable;
}

}  // namespace

std::optional<LiteralAlternatives> LiteralAlternatives::Read(std::string_view pattern,
                                                             bool fold_case) {
    if (!AttemptsStandAlone(pattern)) return std::nullopt;
    const auto fold = [fold_case](std::string bytes) {
        if (fold_case) {
            for (char& byte : bytes) byte = static_cast<char>(byte | 0x20);
        }
        return bytes;
    };

    // The whole pattern a choice of literals with anchors around them.
    std::vector<Alternative> alternatives;
    for (std::size_t i = 0;;) {
        const std::size_t begin = i;
        const std::size_t literal_begin = SkipAnchors(pattern, i, kLeadingAnchors);
        const auto run = ReadLiteralRun(pattern, literal_begin);
        if (!run) break;
        i = SkipAnchors(pattern, run->next, kTrailingAnchors);
        alternatives.push_back(
            {std::string(pattern.substr(begin, i - begin)),
             std::string(pattern.substr(literal_begin, run->next - literal_begin)),
             fold(run->bytes)});
        if (i == pattern.size()) {
            return LiteralAlternatives({}, std::move(alternatives), {}, fold_case);
        }
        if (pattern[i] != '|') break;
        ++i;
    }

    // A group of literal alternatives at the start.
    alternatives.clear();
    const std::size_t body = AfterGroupOpening(pattern, SkipAnchors(pattern, 0, kLeadingAnchors));
    if (body == kUnreadable) return std::nullopt;
    for (std::size_t i = body;;) {
        const auto run = ReadLiteralRun(pattern, i);
        if (!run || run->next >= pattern.size()) return std::nullopt;
        const std::string text(pattern.substr(i, run->next - i));
        alternatives.push_back({text, text, fold(run->bytes)});
        i = run->next;
        if (pattern[i] == ')') {
            if (IsQuantifier(pattern, i + 1) || !OffersNoOtherChoice(pattern, i + 1)) {
                return std::nullopt;
            }
            return LiteralAlternatives(std::string(pattern.substr(0, body)),
                                       std::move(alternatives), std::string(pattern.substr(i)),
                                       fold_case);
        }
        if (pattern[i] != '|') return std::nullopt;
        ++i;
    }
}

LiteralAlternatives::LiteralAlternatives(std::string before, std::vector<Alternative> alternatives,
                                         std::string after, bool fold_case)
    : before_(std::move(before)),
      alternatives_(std::move(alternatives)),
      after_(std::move(after)),
      fold_(fold_case ? 0x20 : 0) {
    std::size_t shortest = 4;
    for (const Alternative& alternative : alternatives_) {
        shortest = std::min(shortest, alternative.literal.size());
    }
    prefix_bytes_ = shortest;
    prefix_mask_ = shortest == 4 ? 0xFFFFFFFFU : (1U << (8 * shortest)) - 1;
    prefix_fold_ = 0x01010101U * fold_;

    std::vector<std::pair<std::uint32_t, std::uint32_t>> prefixes;  // (prefix, alternative)
    for (std::uint32_t k = 0; k < alternatives_.size(); ++k) {
        const std::string& literal = alternatives_[k].literal;
        prefixes.emplace_back(
            PrefixAt(reinterpret_cast<const unsigned char*>(literal.data()), literal.size()), k);
    }
    std::sort(prefixes.begin(), prefixes.end());
    for (const auto& [prefix, alternative] : prefixes) {
        if (groups_.empty() || groups_.back().prefix != prefix) {
            const auto first = static_cast<std::uint32_t>(by_prefix_.size());
            groups_.push_back({prefix, first, first});
        }
        by_prefix_.push_back(alternative);
        ++groups_.back().end;
    }

    // About 64 bits per prefix keeps places that share a hash with none rare.
    const int bits = std::clamp(static_cast<int>(std::bit_width(groups_.size())) + 6, 10, 22);
    hash_shift_ = 32 - bits;
    filter_.assign(std::size_t{1} << (bits - 6), 0);
    // At least twice as many slots as groups keeps the runs of taken slots short.
    const int slot_bits = static_cast<int>(std::bit_width(groups_.size())) + 1;
    slot_shift_ = 32 - slot_bits;
    slots_.assign(std::size_t{1} << slot_bits, 0);
    for (std::uint32_t k = 0; k < groups_.size(); ++k) {
        const std::uint32_t hash = Hash(groups_[k].prefix);
        filter_[(hash >> hash_shift_) >> 6] |= std::uint64_t{1} << ((hash >> hash_shift_) & 63);
        std::size_t slot = hash >> slot_shift_;
        while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
        slots_[slot] = k + 1;
    }
}

// The folded first prefix_bytes_ bytes of bytes (available of them, at least prefix_bytes_),
// as a number.
std::uint32_t LiteralAlternatives::PrefixAt(const unsigned char* bytes,
                                            std::size_t available) const {
    unsigned char head[4] = {};
    std::memcpy(head, bytes, std::min<std::size_t>(available, 4));
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, head, 4);
    return (prefix | prefix_fold_) & prefix_mask_;
}

bool LiteralAlternatives::LiteralAt(std::uint32_t alternative, const unsigned char* bytes,
                                    std::size_t available) const {
    const std::string& literal = alternatives_[alternative].literal;
    const std::size_t compared = std::min(literal.size(), available);
    for (std::size_t k = prefix_bytes_; k < compared; ++k) {
        if (static_cast<char>(bytes[k] | fold_) != literal[k]) return false;
    }
    return true;
}

bool LiteralAlternatives::MayBeAPrefix(std::uint32_t prefix) const {
    const std::uint32_t bit = Hash(prefix) >> hash_shift_;
    return ((filter_[bit >> 6] >> (bit & 63)) & 1) != 0;
}

const LiteralAlternatives::PrefixGroup* LiteralAlternatives::GroupOf(std::uint32_t prefix) const {
    for (std::size_t slot = Hash(prefix) >> slot_shift_; slots_[slot] != 0;
         slot = (slot + 1) & (slots_.size() - 1)) {
        const PrefixGroup& group = groups_[slots_[slot] - 1];
        if (group.prefix == prefix) return &group;
    }
    return nullptr;
}

std::int64_t LiteralAlternatives::Next(std::string_view text, std::int64_t from) const {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const auto literal_here = [&](std::size_t at, std::uint32_t prefix) {
        if (!MayBeAPrefix(prefix)) return false;
        const PrefixGroup* group = GroupOf(prefix);
        if (group == nullptr) return false;
        for (std::uint32_t k = group->first; k < group->end; ++k) {
            if (LiteralAt(by_prefix_[k], bytes + at, size - at)) return true;
        }
        return false;
    };
    std::size_t i = static_cast<std::size_t>(from);
    // Four bytes are read at each place where they are there; the last places pad.
    for (; i + 4 <= size; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, bytes + i, 4);
        if (literal_here(i, (word | prefix_fold_) & prefix_mask_)) {
            return static_cast<std::int64_t>(i);
        }
    }
    for (; i + prefix_bytes_ <= size; ++i) {
        if (literal_here(i, PrefixAt(bytes + i, size - i))) return static_cast<std::int64_t>(i);
    }
    return static_cast<std::int64_t>(size);
}

void LiteralAlternatives::AlternativesAt(std::string_view text, std::int64_t at,
                                         std::vector<std::uint32_t>& alternatives) const {
    alternatives.clear();
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const std::size_t available = text.size() - static_cast<std::size_t>(at);
    if (available < prefix_bytes_) return;
    const PrefixGroup* group = GroupOf(PrefixAt(bytes, available));
    if (group == nullptr) return;
    for (std::uint32_t k = group->first; k < group->end; ++k) {
        if (LiteralAt(by_prefix_[k], bytes, available)) alternatives.push_back(by_prefix_[k]);
    }
}

std::string LiteralAlternatives::LiteralsPattern() const {
    std::string pattern;
    for (const Alternative& alternative : alternatives_) {
        if (!pattern.empty()) pattern += '|';
        pattern += alternative.literal_text;
    }
    return pattern;
}

std::string LiteralAlternatives::PatternWith(std::span<const std::uint32_t> alternatives) const {
    std::string pattern = before_;
    for (std::size_t k = 0; k < alternatives.size(); ++k) {
        if (k > 0) pattern += '|';
        pattern += alternatives_[alternatives[k]].text;
    }
    return pattern + after_;
}

}  // namespace lintaro
