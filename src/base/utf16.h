// UTF-16 surrogates: telling them apart, joining a pair and splitting a value into one.
#pragma once

namespace lintaro {

constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// The value that a high and a low surrogate stand for together.
constexpr char32_t JoinSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The pair for a value above U+FFFF. Only the low 20 bits of value - 0x10000 are used, so
// values above U+10FFFF (which lenient UTF-8 can spell) wrap instead of overflowing.
constexpr char16_t HighSurrogateOf(char32_t value) {
    return static_cast<char16_t>(0xD800 + (((value - 0x10000) >> 10) & 0x3FF));
}
constexpr char16_t LowSurrogateOf(char32_t value) {
    return static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
}

}  // namespace lintaro
