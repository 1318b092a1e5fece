// The program's text: bytes in the locale's character set, and conversions at its edges.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// The locale's character set (nl_langinfo(CODESET) after setlocale(LC_ALL, "")); "UTF-8"
// when the locale names plain ASCII (the C/POSIX locale). Decided once per process.
const std::string& ProgramCharset();
bool ProgramCharsetIsUtf8();

// UTF-16 to program text; a character the set cannot hold becomes "?".
std::string Utf16ToProgramText(std::u16string_view text);
// Program text to UTF-16; bytes the set cannot decode become U+FFFD.
std::u16string ProgramTextToUtf16(std::string_view text);
// Program text to UTF-8 (export files). Identity when the set is UTF-8.
std::string ProgramTextToUtf8(std::string_view text);

}  // namespace lintaro
