// Character references (&amp; &#64; &eacute;) in a cell, decoded as a browser reads a page.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// text (UTF-8) with every HTML5 named and numeric character reference replaced by its
// characters, as Python's html.unescape does: legacy names without ';' count too, and the
// longest name that starts the text after '&' wins ("&notit;" gives "¬it;"). Numeric
// references to nothing (zero, a surrogate, past U+10FFFF) give U+FFFD and 0x80 to 0x9F are
// read as Windows-1252. Unlike html.unescape, two choices follow the browser's attribute
// rule: a legacy name without ';' followed by '=' stays as it is, so that a link's query
// "?a=1&copy=2" keeps its parameter, and a numeric reference to a control character or a
// noncharacter gives that character instead of nothing.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace lintaro
