// Decoding the subject file's bytes from a character set the user named into the program's text.
#pragma once

#include <string>
#include <string_view>

#include "match/subject_decoder.h"

namespace lintaro {

// Decodes bytes from the character set from (an iconv name other than UTF-8) into charset,
// through UTF-8. The text ends before the first sequence that is malformed in from, or that the
// bytes end inside, and before the first NUL character; cut_offset is that sequence's byte
// offset in bytes. A byte-order mark that names from's own byte order (UTF-16LE, UTF-16BE,
// UTF-32LE, UTF-32BE) is left out; "UTF-16" and "UTF-32" read and drop it themselves.
// Characters charset cannot hold become "?" and are counted.
DecodedSubject DecodeCharsetBytes(std::string_view bytes, const std::string& from,
                                  const std::string& charset);

}  // namespace lintaro
