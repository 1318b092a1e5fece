// Character-set names: the program's own set, and what a set's name says about its bytes.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// The locale's character set (nl_langinfo(CODESET) of the environment's LC_CTYPE locale);
// "UTF-8" when the locale names plain ASCII (the C/POSIX locale) or does not exist. Decided
// once per process.
const std::string& ProgramCharset();
bool ProgramCharsetIsUtf8();

// A charset name in one spelling for comparisons: lower case, without "-" and "_"
// ("UTF-8", "utf_8" and "Utf8" all give "utf8").
std::string NormalizedCharsetName(std::string_view charset);
bool IsUtf8Charset(std::string_view charset);
// Whether iconv can decode text from charset (any of its names and aliases).
bool IsKnownCharset(const std::string& charset);

// The byte structure of a character set, as far as finding character starts needs it.
enum class CharacterSetKind {
    kUtf8,
    // GBK and its relatives: a byte 0x81-0xFE starts a two-byte character (GB18030 also has
    // four-byte ones: lead, digit, lead, digit).
    kDoubleByte,
    kSingleByte,
};

// The kind of an iconv character-set name ("UTF-8", "GBK", "ISO-8859-1", ...).
CharacterSetKind CharacterSetKindOf(std::string_view charset);
// The kind of the program's text encoding.
CharacterSetKind ProgramCharacterSetKind();

}  // namespace lintaro
