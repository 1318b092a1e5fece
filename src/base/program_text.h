// The program's text: bytes in the locale's character set, and conversions at its edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/charset.h"

namespace lintaro {

// UTF-16 to program text; a character the set cannot hold becomes "?".
std::string Utf16ToProgramText(std::u16string_view text);
// Program text to UTF-16; bytes the set cannot decode become U+FFFD.
std::u16string ProgramTextToUtf16(std::string_view text);
// Program text to UTF-8 (export files). Identity when the set is UTF-8.
std::string ProgramTextToUtf8(std::string_view text);
// UTF-8 (the program's own literals, such as table headings) to program text; a character the
// set cannot hold becomes "?". Identity when the set is UTF-8.
std::string Utf8ToProgramText(std::string_view text);

// Converts UTF-8 into out, which has room for text.size() units, and returns how many units it
// wrote; each byte that is not part of a well-formed sequence becomes U+FFFD. For a caller that
// converts into memory of its own: a large text is then not held twice more at once.
std::size_t Utf8ToUtf16Into(std::string_view text, char16_t* out);

// The same conversions for a named character set, so that other sets than the locale's can be
// used and tested. Charset names are iconv's ("UTF-8", "GBK", ...).
std::string Utf16ToCharset(std::u16string_view text, const std::string& charset);
std::u16string CharsetToUtf16(std::string_view text, const std::string& charset);
std::string CharsetToUtf8(std::string_view text, const std::string& charset);
std::string Utf8ToCharset(std::string_view text, const std::string& charset);

// A conversion into a character set, and how many characters it replaced by "?" because the
// set cannot hold them (or, from UTF-8, because they were not well formed).
struct ConvertedText {
    std::string text;
    std::int64_t replaced = 0;
};
ConvertedText Utf16ToCharsetCounted(std::u16string_view text, const std::string& charset);
ConvertedText Utf8ToCharsetCounted(std::string_view text, const std::string& charset);

// The first character of the UTF-8 text that charset cannot hold, in UTF-8, or the first byte
// that is not part of a well-formed sequence; empty when charset holds the whole text.
std::string FirstUnheldCharacter(std::string_view utf8, const std::string& charset);

}  // namespace lintaro
