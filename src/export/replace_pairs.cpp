// Replacing find texts pass after pass, with a one-scan path for single-byte find texts.
#include "export/replace_pairs.h"

#include <algorithm>

namespace lintaro {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

PairReplacer::PairReplacer(std::span<const ReplacePair> pairs, CharacterSetKind kind)
    : kind_(kind) {
    pair_of_byte_.fill(kNoPair);
    for (const ReplacePair& pair : pairs) {
        if (pair.find.empty()) continue;
        pairs_.push_back({std::string(pair.find), std::string(pair.replacement)});
    }
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        const Pair& pair = pairs_[i];
        const auto byte = static_cast<unsigned char>(pair.find.front());
        if (pair.find.size() != 1 || byte >= 0x80 || pair_of_byte_[byte] != kNoPair ||
            !IsAscii(pair.replacement)) {
            single_scan_ = false;
            break;
        }
        pair_of_byte_[byte] = static_cast<std::int8_t>(i);
        growth_of_byte_[byte] = pair.replacement.size() - 1;
    }
    for (const Pair& pair : pairs_) {
        for (char c : pair.replacement) {
            if (pair_of_byte_[static_cast<unsigned char>(c)] != kNoPair) single_scan_ = false;
        }
    }
}

void PairReplacer::AppendReplaced(std::string& out, std::string_view text) const {
    if (!single_scan_) {
        out += ReplaceByPasses(text);
        return;
    }
    // An ASCII replacement neither creates a find byte nor changes where the following
    // characters start, so every find byte at a character start is replaced exactly once,
    // as the passes would do.
    // Only double-byte sets have ASCII bytes inside characters (as trail bytes); in UTF-8 and
    // single-byte sets every ASCII byte starts a character, so no walk is needed.
    const bool walk = kind_ == CharacterSetKind::kDoubleByte;
    std::size_t run_start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        const std::int8_t pair = pair_of_byte_[byte];
        if (pair != kNoPair) {
            out.append(text.substr(run_start, pos - run_start));
            out += pairs_[static_cast<std::size_t>(pair)].replacement;
            run_start = ++pos;
        } else {
            pos += byte < 0x80 || !walk ? 1 : CharacterLengthAt(kind_, text, pos);
        }
    }
    out.append(text.substr(run_start));
}

std::size_t PairReplacer::EstimateReplacedSize(std::string_view text) const {
    std::size_t size = text.size();
    if (!single_scan_) return size;
    for (const char c : text) size += growth_of_byte_[static_cast<unsigned char>(c)];
    return size;
}

std::string PairReplacer::ReplaceByPasses(std::string_view text) const {
    std::string result(text);
    const auto occurs = [&](const Pair& pair) {
        return FindAtCharacter(result, pair.find) != std::string::npos;
    };
    do {
        for (const Pair& pair : pairs_) {
            const std::size_t at = FindAtCharacter(result, pair.find);
            if (at != std::string::npos) result.replace(at, pair.find.size(), pair.replacement);
        }
    } while (std::any_of(pairs_.begin(), pairs_.end(), occurs));
    return result;
}

std::size_t PairReplacer::FindAtCharacter(std::string_view text, std::string_view find) const {
    for (std::size_t pos = 0; pos < text.size(); pos += CharacterLengthAt(kind_, text, pos)) {
        if (text.substr(pos, find.size()) == find) return pos;
    }
    return std::string::npos;
}

std::string ReplacePairs(std::string_view text, std::span<const ReplacePair> pairs,
                         CharacterSetKind kind) {
    std::string out;
    PairReplacer(pairs, kind).AppendReplaced(out, text);
    return out;
}

}  // namespace lintaro
