// The distinct texts of a column, found with a hash table of indexes into them.
#include "table/distinct_texts.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "base/processors.h"

namespace lintaro {

namespace {

// A column is split among threads in pieces of at least this many texts.
constexpr std::size_t kLeastPieceTexts = std::size_t{1} << 16;

// A hash of the text eight bytes at a time; a table of a million cells spends most of its time
// here, and the standard hash goes a byte at a time through its tail.
std::uint64_t HashOf(std::string_view text) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    std::uint64_t hash = text.size() * kMultiplier;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        hash = std::rotl((hash ^ word) * kMultiplier, 29);
    }
    if (at < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, text.size() - at);
        hash = std::rotl((hash ^ word) * kMultiplier, 29);
    }
    return (hash ^ (hash >> 32)) * kMultiplier;
}

// FindDistinctTexts on one thread, with the distinct texts' hashes. hash_of(i) is the hash of
// texts[i]. The hash table starts with room for likely_distinct texts, which saves growing it
// where the caller knows that most texts are distinct.
template <typename HashOfText>
DistinctTexts FindDistinctTextsHere(std::span<const std::string_view> texts,
                                    const HashOfText& hash_of, std::vector<std::uint64_t>& hashes,
                                    std::size_t likely_distinct = 0) {
    DistinctTexts distinct;
    distinct.index_of.resize(texts.size());
    // Open addressing over the distinct texts' indexes plus one (0: free), at most half full.
    std::vector<std::uint32_t> slots(
        std::max<std::size_t>(1024, std::bit_ceil(2 * likely_distinct + 1)), 0);
    hashes.clear();
    // Room for every text to be distinct (up to a bound), which costs no more than the room
    // used: growing would copy, and each new stretch of memory costs the kernel's clearing of
    // its pages.
    constexpr std::size_t kMostReserved = std::size_t{1} << 20;
    distinct.texts.reserve(std::min(texts.size(), kMostReserved));
    hashes.reserve(std::min(texts.size(), kMostReserved));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::uint64_t hash = hash_of(i);
        std::size_t mask = slots.size() - 1;
        std::size_t slot = hash & mask;
        // The hashes first: the texts lie all over the searched text.
        while (slots[slot] != 0 &&
               (hashes[slots[slot] - 1] != hash || distinct.texts[slots[slot] - 1] != texts[i])) {
            slot = (slot + 1) & mask;
        }
        if (slots[slot] != 0) {
            distinct.index_of[i] = slots[slot] - 1;
            continue;
        }
        distinct.texts.push_back(texts[i]);
        hashes.push_back(hash);
        slots[slot] = static_cast<std::uint32_t>(distinct.texts.size());
        distinct.index_of[i] = static_cast<std::uint32_t>(distinct.texts.size() - 1);
        if (2 * distinct.texts.size() > slots.size()) {
            slots.assign(2 * slots.size(), 0);
            mask = slots.size() - 1;
            for (std::size_t d = 0; d < hashes.size(); ++d) {
                std::size_t free = hashes[d] & mask;
                while (slots[free] != 0) free = (free + 1) & mask;
                slots[free] = static_cast<std::uint32_t>(d + 1);
            }
        }
    }
    return distinct;
}

DistinctTexts FindDistinctTextsHere(std::span<const std::string_view> texts,
                                    std::vector<std::uint64_t>& hashes) {
    return FindDistinctTextsHere(
        texts, [&](std::size_t i) { return HashOf(texts[i]); }, hashes);
}

}  // namespace

DistinctTexts FindDistinctTexts(std::span<const std::string_view> texts) {
    // Each thread finds the distinct texts of a piece of the column, then those of the pieces
    // are found together, in the pieces' order: a text's first place among them is in the
    // first piece it occurs in, so the texts keep the order of their first occurrence.
    const std::size_t pieces = PiecesFor(texts.size(), kLeastPieceTexts);
    std::vector<std::uint64_t> hashes;
    if (pieces == 1) return FindDistinctTextsHere(texts, hashes);
    const auto piece_of = [&](std::size_t k) {
        const std::size_t start = PieceStart(texts.size(), pieces, k);
        return texts.subspan(start, PieceStart(texts.size(), pieces, k + 1) - start);
    };
    std::vector<DistinctTexts> found(pieces);
    std::vector<std::vector<std::uint64_t>> hashes_found(pieces);
    RunPieces(pieces, [&](std::size_t k) {
        found[k] = FindDistinctTextsHere(piece_of(k), hashes_found[k]);
    });
    // Found together with the hashes the pieces took.
    std::vector<std::string_view> of_pieces;
    std::vector<std::uint64_t> hashes_of_pieces;
    std::vector<std::size_t> first_of_piece;
    std::size_t found_texts = 0;
    std::size_t most_in_piece = 0;
    for (const DistinctTexts& piece : found) {
        found_texts += piece.texts.size();
        most_in_piece = std::max(most_in_piece, piece.texts.size());
    }
    of_pieces.reserve(found_texts);
    hashes_of_pieces.reserve(found_texts);
    for (std::size_t k = 0; k < pieces; ++k) {
        first_of_piece.push_back(of_pieces.size());
        of_pieces.insert(of_pieces.end(), found[k].texts.begin(), found[k].texts.end());
        hashes_of_pieces.insert(hashes_of_pieces.end(), hashes_found[k].begin(),
                                hashes_found[k].end());
    }
    // There are at least as many as in the piece with the most, and often nearly all of them
    // (links found once each); room for twice the most keeps many threads' pieces that share
    // their texts from taking far more than the table would grow to.
    DistinctTexts together = FindDistinctTextsHere(
        of_pieces, [&](std::size_t i) { return hashes_of_pieces[i]; }, hashes,
        std::min(found_texts, 2 * most_in_piece));
    DistinctTexts distinct;
    distinct.texts = std::move(together.texts);
    distinct.index_of.resize(texts.size());
    RunPieces(pieces, [&](std::size_t k) {
        const std::size_t start = PieceStart(texts.size(), pieces, k);
        const auto& index_in_piece = found[k].index_of;
        for (std::size_t i = 0; i < index_in_piece.size(); ++i) {
            distinct.index_of[start + i] = together.index_of[first_of_piece[k] + index_in_piece[i]];
        }
    });
    return distinct;
}

}  // namespace lintaro
