// How the bytes of a program text group into characters, for the character sets it may be in.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintaro {

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

// Length in bytes of the character that starts at pos (pos < text.size()). Malformed or cut
// sequences count as single bytes, so a walk always advances and never leaves the text.
std::size_t CharacterLengthAt(CharacterSetKind kind, std::string_view text, std::size_t pos);

}  // namespace lintaro
