// How the bytes of a program text group into characters, for the character sets it may be in.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/charset.h"

namespace lintaro {

// Length in bytes of the character that starts at pos (pos < text.size()). Malformed or cut
// sequences count as single bytes, so a walk always advances and never leaves the text.
std::size_t CharacterLengthAt(CharacterSetKind kind, std::string_view text, std::size_t pos);

}  // namespace lintaro
