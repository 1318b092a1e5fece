// Reading UTF-8 sequences: the strict rules of well-formed UTF-8 and the lenient rules of the
// subject decoder.
#include "base/utf8_sequence.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/utf16.h"
#include "base/utf8_block_check.h"

namespace lintaro {

namespace {

unsigned char ByteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

constexpr std::uint64_t kHighBits = 0x8080808080808080;
constexpr std::uint64_t kLowBits = 0x0101010101010101;

// True when all eight bytes are ASCII and none is NUL.
bool IsPlainAsciiWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    const bool has_zero = ((word - kLowBits) & ~word & kHighBits) != 0;
    return (word & kHighBits) == 0 && !has_zero;
}

// The length of the run of ASCII bytes other than NUL that bytes begins with.
std::size_t PlainAsciiRun(std::string_view bytes) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: the high bit of each, and whether it is NUL.
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= bytes.size()) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(block) |
                                                 _mm_movemask_epi8(_mm_cmpeq_epi8(block, zero)));
        if (stops != 0) return i + static_cast<std::size_t>(__builtin_ctz(stops));
        i += 16;
    }
#endif
    while (i + 8 <= bytes.size() && IsPlainAsciiWord(bytes.data() + i)) i += 8;
    while (i < bytes.size() && ByteAt(bytes, i) != 0 && ByteAt(bytes, i) < 0x80) ++i;
    return i;
}

}  // namespace

std::size_t WellFormedUtf8Length(std::string_view bytes, char32_t& value) {
    const unsigned char lead = ByteAt(bytes, 0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        value = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((ByteAt(bytes, i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (ByteAt(bytes, i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || IsSurrogate(value)) return 0;
    return length;
}

std::size_t WellFormedUtf8Prefix(std::string_view bytes) {
    // The vector check goes as far as it finds nothing wrong; from the start of the character
    // it stopped in (the sequence a block's last bytes begin is judged only with the next
    // block), one character at a time finds where the well-formed text ends.
    std::size_t i = Utf8CheckedBlocksEnd(bytes);
    if (i > 0) {
        std::size_t start = i - 1;
        while (start > 0 && i - start < 4 && (ByteAt(bytes, start) & 0xC0) == 0x80) --start;
        i = start;
    }
    while (i < bytes.size()) {
        // Plain text is mostly ASCII: step over it many bytes at a time, up to the first byte
        // that is not plain ASCII.
        i += PlainAsciiRun(bytes.substr(i));
        if (i == bytes.size() || bytes[i] == '\0') break;
        // Then over the characters of a run of other letters (a word in Chinese, say).
        while (i < bytes.size() && (ByteAt(bytes, i) & 0x80) != 0) {
            // Three-byte characters (most of the letters beyond Latin) checked in line.
            const unsigned lead = ByteAt(bytes, i);
            if (lead >= 0xE0 && lead <= 0xEF && i + 3 <= bytes.size()) {
                const unsigned second = ByteAt(bytes, i + 1);
                const unsigned third = ByteAt(bytes, i + 2);
                const char32_t value =
                    ((lead & 0x0F) << 12) | ((second & 0x3F) << 6) | (third & 0x3F);
                if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80 && value >= 0x800 &&
                    !IsSurrogate(value)) {
                    i += 3;
                    continue;
                }
            }
            char32_t value = 0;
            const std::size_t length = WellFormedUtf8Length(bytes.substr(i), value);
            if (length == 0) return i;
            i += length;
        }
    }
    return i;
}

std::size_t LenientUtf8Length(std::string_view bytes, std::uint32_t& value) {
    const unsigned char lead = ByteAt(bytes, 0);
    std::size_t length = 0;
    // A continuation byte where a character should start, and 0xFE and 0xFF, start nothing.
    if ((lead >= 0x80 && lead < 0xC0) || lead >= 0xFE) return 0;
    if (lead < 0x80) {
        value = lead;
        return 1;
    } else if (lead < 0xE0) {
        length = 2, value = lead & 0x1F;
    } else if (lead < 0xF0) {
        length = 3, value = lead & 0x0F;
    } else if (lead < 0xF8) {
        length = 4, value = lead & 0x07;
    } else if (lead < 0xFC) {
        length = 5, value = lead & 0x03;
    } else {
        length = 6, value = lead & 0x01;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((ByteAt(bytes, i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (ByteAt(bytes, i) & 0x3F);
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

}  // namespace lintaro
