// The character set a file that is not UTF-8 is most likely in, from what it declares or holds.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// The character set the bytes declare, in upper case: a byte-order mark, else the charset of
// a <meta> tag (<meta charset=...> or the content of <meta http-equiv="Content-Type">) within
// the first 4 KB, else the encoding of an XML declaration at the start. "GB2312" is read as
// "GBK", its superset, which such pages hold in practice. Empty when nothing is declared.
std::string DeclaredCharset(std::string_view bytes);

// The character set to offer for bytes that are not UTF-8: the declared one when it is not
// UTF-8 and the whole of bytes decodes in it, else "GB18030" when the whole of bytes decodes
// as GB18030; empty when neither does. A declaration that does not fit the bytes is ignored.
std::string LikelyCharset(std::string_view bytes);
// LikelyCharset of the whole file at path (program text); empty when it cannot be read.
std::string LikelyCharsetOfFile(const std::string& path);

}  // namespace lintaro
