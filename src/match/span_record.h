// The bytes a match or one of its groups covers, and the compact form the results store it in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace lintaro {

// The bytes of the whole match or of one group. A group that took no part in the match has
// length -1; its offset then means nothing.
struct SubMatchSpan {
    std::int64_t offset = 0;
    std::int64_t length = -1;

    bool matched() const { return length >= 0; }
};

// How many 32-bit words one stored record takes. Offsets and lengths never exceed the size of
// the searched text, so below 4 GiB - 1 they fit one word each, and the word's largest value is
// left over to mark a group that took no part; longer texts keep both as 64-bit numbers, so
// that no offset wraps. A million matches of a few groups thus take half the memory.
enum class RecordWidth : std::uint8_t { kNarrow = 2, kWide = 4 };

// The length word of a narrow record whose group took no part.
inline constexpr std::uint32_t kUnmatchedWord = 0xFFFFFFFF;

// The width for the records of a search of a text of text_size bytes.
constexpr RecordWidth RecordWidthFor(std::int64_t text_size) {
    return text_size < std::int64_t{kUnmatchedWord} ? RecordWidth::kNarrow : RecordWidth::kWide;
}

constexpr std::size_t WordsPerRecord(RecordWidth width) {
    return static_cast<std::size_t>(width);
}

// Writes span into the WordsPerRecord(width) words at words. Its offset and length must lie
// within the text the width was chosen for. Every record of a group that took no part reads
// back as SubMatchSpan{}.
inline void EncodeRecord(const SubMatchSpan& span, RecordWidth width, std::uint32_t* words) {
    const SubMatchSpan stored = span.matched() ? span : SubMatchSpan{};
    if (width == RecordWidth::kNarrow) {
        words[0] = static_cast<std::uint32_t>(stored.offset);
        words[1] = stored.matched() ? static_cast<std::uint32_t>(stored.length) : kUnmatchedWord;
        return;
    }
    std::memcpy(words, &stored.offset, sizeof stored.offset);
    std::memcpy(words + 2, &stored.length, sizeof stored.length);
}

// Writes records one after another from words on: a match's G + 1 records.
inline void EncodeRecords(std::span<const SubMatchSpan> records, RecordWidth width,
                          std::uint32_t* words) {
    for (const SubMatchSpan& record : records) {
        EncodeRecord(record, width, words);
        words += WordsPerRecord(width);
    }
}

// The record EncodeRecord wrote at words.
inline SubMatchSpan DecodeRecord(const std::uint32_t* words, RecordWidth width) {
    SubMatchSpan span;
    if (width == RecordWidth::kNarrow) {
        span.offset = words[0];
        span.length = words[1] == kUnmatchedWord ? -1 : std::int64_t{words[1]};
        return span;
    }
    std::memcpy(&span.offset, words, sizeof span.offset);
    std::memcpy(&span.length, words + 2, sizeof span.length);
    return span;
}

}  // namespace lintaro
