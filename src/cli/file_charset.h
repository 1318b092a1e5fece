// The character set of a file to search, as --encoding=auto chooses it and as the file declares.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// The value of --encoding that has each file's set chosen for it.
inline constexpr std::string_view kAutoEncoding = "auto";

// The set --encoding=auto reads bytes in, empty for UTF-8: what a byte-order mark or the
// declaration of a <meta> tag or XML declaration names when all of bytes decodes in it; else
// UTF-8 when bytes are UTF-8; else GB18030 when all of bytes decodes in it; else UTF-8, whose
// read cuts the text at the first malformed byte.
std::string AutoCharset(std::string_view bytes);
// AutoCharset of the file at path; empty when it cannot be read (its run says why).
std::string AutoCharsetOfFile(const std::string& path);

// The set the file at path declares in lower case, when that is not UTF-8; else empty.
std::string DeclaredOtherCharsetOfFile(const std::string& path);

}  // namespace lintaro
