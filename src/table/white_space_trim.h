// White space in a cell made tidy: anchor texts often span lines and carry indentation.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// text without white space at its start and end, every inner run of white space (line breaks
// included) made one space. White space is HTML's ASCII white space (space, tab, LF, FF, CR)
// and the vertical tab; other characters, the ideographic space among them, stay.
std::string TrimWhiteSpace(std::string_view text);
// Whether TrimWhiteSpace would give text back as it is, told without a copy.
bool IsTrimmed(std::string_view text);

}  // namespace lintaro
