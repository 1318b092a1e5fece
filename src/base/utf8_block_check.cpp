// Checking UTF-8 sixteen bytes at a time with vector instructions.
//
// The check looks at each byte together with the three before it, through three tables of 16
// entries that the SSSE3 shuffle looks up per half byte: the high and the low half of the byte
// before, and the high half of the byte itself, each give the kinds of error the pair could
// be; a pair is malformed when all three agree on one kind. Whether a byte must continue a
// three- or four-byte sequence follows from the two and three bytes before it. This is the
// method of Keiser and Lemire, "Validating UTF-8 in less than one instruction per byte" (2021).
#include "base/utf8_block_check.h"

#include "base/cpu_features.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace lintaro {

#if defined(__x86_64__)

namespace {

// The kinds of error a pair of bytes can be.
constexpr char kTooShort = 1 << 0;      // a lead byte, then no continuation byte
constexpr char kTooLong = 1 << 1;       // an ASCII byte, then a continuation byte
constexpr char kOverlong3 = 1 << 2;     // E0, then 80..9F
constexpr char kTooLarge = 1 << 3;      // F4 then 90..BF, or F5..FF
constexpr char kSurrogate = 1 << 4;     // ED, then A0..BF
constexpr char kOverlong2 = 1 << 5;     // C0 or C1
constexpr char kTooLarge1000 = 1 << 6;  // F5..FF, then 80..8F
constexpr char kOverlong4 = 1 << 6;     // F0, then 80..8F
constexpr char kTwoContinuations = static_cast<char>(1 << 7);  // a continuation byte, then another
constexpr char kCarry = kTooShort | kTooLong | kTwoContinuations;

[[gnu::target("ssse3")]] std::size_t CheckBlocks(const char* data, std::size_t size) {
    // Indexed by the high half of the byte before.
    const __m128i byte_1_high = _mm_setr_epi8(
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
        kTwoContinuations, kTwoContinuations, kTwoContinuations, kTwoContinuations,
        kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
        kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
    // Indexed by the low half of the byte before.
    const __m128i byte_1_low = _mm_setr_epi8(
        kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
        kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000 | kSurrogate, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000);
    // Indexed by the high half of the byte itself.
    constexpr char kContinuation8 =
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge1000 | kOverlong4;
    constexpr char kContinuation9 =
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge;
    constexpr char kContinuationAB =
        kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge;
    const __m128i byte_2_high =
        _mm_setr_epi8(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
                      kTooShort, kContinuation8, kContinuation9, kContinuationAB, kContinuationAB,
                      kTooShort, kTooShort, kTooShort, kTooShort);
    const __m128i low_half = _mm_set1_epi8(0x0F);
    const __m128i zero = _mm_setzero_si128();
    const auto high_half = [&](__m128i v) { return _mm_and_si128(_mm_srli_epi16(v, 4), low_half); };

    // A block whose last three bytes begin a sequence it does not finish: 1 where the byte
    // at that place would be such a lead byte.
    const __m128i incomplete_above = _mm_setr_epi8(
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
        static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));

    __m128i before = zero;  // the text begins as if after ASCII
    bool before_incomplete = false;
    std::size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        const __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        // Plain ASCII after a block that ended with a whole character needs only the NUL test.
        if (_mm_movemask_epi8(input) == 0 && !before_incomplete) {
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(input, zero)) != 0) break;
            before = input;
            continue;
        }
        const __m128i prev1 = _mm_alignr_epi8(input, before, 15);
        const __m128i kinds = _mm_and_si128(
            _mm_and_si128(_mm_shuffle_epi8(byte_1_high, high_half(prev1)),
                          _mm_shuffle_epi8(byte_1_low, _mm_and_si128(prev1, low_half))),
            _mm_shuffle_epi8(byte_2_high, high_half(input)));
        // Only E0..FF two bytes before and F0..FF three bytes before reach 0x80 here.
        const __m128i third = _mm_subs_epu8(_mm_alignr_epi8(input, before, 14),
                                            _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m128i fourth = _mm_subs_epu8(_mm_alignr_epi8(input, before, 13),
                                             _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m128i must_continue =
            _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
        // A continuation byte that must come is flagged as two continuations: the two cancel.
        const __m128i errors =
            _mm_or_si128(_mm_xor_si128(kinds, must_continue), _mm_cmpeq_epi8(input, zero));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(errors, zero)) != 0xFFFF) break;
        before = input;
        before_incomplete = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(input, incomplete_above),
                                                             zero)) != 0xFFFF;
    }
    return i;
}

}  // namespace

std::size_t Utf8CheckedBlocksEnd(std::string_view bytes) {
    return CpuHasSsse3() ? CheckBlocks(bytes.data(), bytes.size()) : 0;
}

#else

std::size_t Utf8CheckedBlocksEnd(std::string_view /*bytes*/) {
    return 0;
}

#endif

}  // namespace lintaro
