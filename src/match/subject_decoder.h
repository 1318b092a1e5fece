// Decoding the subject file's bytes from UTF-8 into the program's text.
#pragma once

#include <cstdint>
#include <string>

#include "base/text_buffer.h"

namespace lintaro {

// The decoded text and where decoding stopped early, if it did.
struct DecodedSubject {
    enum class Cut { kNone, kMalformed, kNul };
    TextBuffer text;
    Cut cut = Cut::kNone;
    std::int64_t cut_offset = -1;  // byte offset in the input of the sequence that ended it
    std::int64_t replaced = 0;     // characters the target set cannot hold, now "?"
};

// Decodes bytes by the lenient UTF-8 rules into UTF-16 and converts that into charset: overlong
// forms and surrogate values are accepted, a value above U+FFFF becomes a surrogate pair, a
// byte-order mark is kept, a surrogate left without its partner becomes "?", and so does a
// character charset cannot hold (only these are counted in replaced). The text ends
// before the first malformed sequence or the first NUL (an overlong NUL included).
// When charset is UTF-8, well-formed runs are copied as they are and the work is done in
// place in bytes; only the other sequences take the way through UTF-16.
DecodedSubject DecodeSubjectBytes(TextBuffer bytes, const std::string& charset);

}  // namespace lintaro
