// Checking UTF-8 32 bytes at a time with vector instructions.
//
// The check looks at each byte together with the three before it, through three tables of 16
// entries that the AVX2 shuffle looks up per half byte: the high and the low half of the byte
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

// The same 16 entries in both halves: the shuffle looks up within each half.
[[gnu::target("avx2")]] __m256i Table(char e0, char e1, char e2, char e3, char e4, char e5, char e6,
                                      char e7, char e8, char e9, char e10, char e11, char e12,
                                      char e13, char e14, char e15) {
    return _mm256_broadcastsi128_si256(
        _mm_setr_epi8(e0, e1, e2, e3, e4, e5, e6, e7, e8, e9, e10, e11, e12, e13, e14, e15));
}

// The 32 bytes that end n bytes before the end of block, the ones before it taken from
// before.
template <int n>
[[gnu::target("avx2")]] __m256i Earlier(__m256i block, __m256i before) {
    return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(before, block, 0x21), 16 - n);
}

[[gnu::target("avx2")]] __m256i HighHalves(__m256i bytes) {
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

[[gnu::target("avx2")]] std::size_t CheckBlocks(const char* data, std::size_t size) {
    // Indexed by the high half of the byte before.
    const __m256i byte_1_high =
        Table(kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
              kTwoContinuations, kTwoContinuations, kTwoContinuations, kTwoContinuations,
              kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
              kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
    // Indexed by the low half of the byte before.
    constexpr char kLarge = kCarry | kTooLarge | kTooLarge1000;
    const __m256i byte_1_low =
        Table(kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
              kCarry | kTooLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge, kLarge,
              kLarge | kSurrogate, kLarge, kLarge);
    // Indexed by the high half of the byte itself.
    constexpr char kContinuation8 =
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge1000 | kOverlong4;
    constexpr char kContinuation9 =
        kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge;
    constexpr char kContinuationAB =
        kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge;
    const __m256i byte_2_high =
        Table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
              kTooShort, kContinuation8, kContinuation9, kContinuationAB, kContinuationAB,
              kTooShort, kTooShort, kTooShort, kTooShort);
    const __m256i low_half = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    __m256i before = zero;  // the text begins as if after ASCII
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i prev1 = Earlier<1>(input, before);
        const __m256i kinds = _mm256_and_si256(
            _mm256_and_si256(_mm256_shuffle_epi8(byte_1_high, HighHalves(prev1)),
                             _mm256_shuffle_epi8(byte_1_low, _mm256_and_si256(prev1, low_half))),
            _mm256_shuffle_epi8(byte_2_high, HighHalves(input)));
        // Only E0..FF two bytes before and F0..FF three bytes before reach 0x80 here.
        const __m256i third = _mm256_subs_epu8(Earlier<2>(input, before),
                                               _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m256i fourth = _mm256_subs_epu8(Earlier<3>(input, before),
                                                _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m256i must_continue = _mm256_and_si256(_mm256_or_si256(third, fourth),
                                                       _mm256_set1_epi8(static_cast<char>(0x80)));
        // A continuation byte that must come is flagged as two continuations: the two cancel.
        const __m256i errors =
            _mm256_or_si256(_mm256_xor_si256(kinds, must_continue), _mm256_cmpeq_epi8(input, zero));
        if (!_mm256_testz_si256(errors, errors)) break;
        before = input;
    }
    return i;
}

}  // namespace

std::size_t Utf8CheckedBlocksEnd(std::string_view bytes) {
    return CpuHasAvx2() ? CheckBlocks(bytes.data(), bytes.size()) : 0;
}

#else

std::size_t Utf8CheckedBlocksEnd(std::string_view /*bytes*/) {
    return 0;
}

#endif

}  // namespace lintaro
