// Decoding the subject file's bytes from UTF-8 into the program's text.
#include "match/subject_decoder.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "match/program_text.h"
#include "match/utf8_sequence.h"

namespace lintaro {

namespace {

// UTF-16 units gathered before they are converted in one go; bounds the buffer for big files.
constexpr std::size_t kPendingUnits = 1 << 16;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

void AppendUnits(std::u16string& units, std::uint32_t value) {
    if (value <= 0xFFFF) {
        units += static_cast<char16_t>(value);
        return;
    }
    // Values beyond U+10FFFF (5- and 6-byte forms) are folded into a pair by the same masks.
    units += static_cast<char16_t>(0xD800 + (((value - 0x10000) >> 10) & 0x3FF));
    units += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
}

}  // namespace

DecodedSubject DecodeSubjectBytes(std::string bytes, const std::string& charset) {
    const bool in_place = IsUtf8Charset(charset);
    DecodedSubject result;
    std::u16string pending;
    std::size_t read = 0;
    std::size_t written = 0;  // in place: bytes of output at the front of bytes

    // Converts the pending units. In place the output fits where they came from: no lenient
    // sequence grows when written as UTF-8 ("?" or a shorter form), and a pair is never split
    // between two flushes.
    const auto flush = [&] {
        if (pending.empty()) return;
        const std::string piece = Utf16ToCharset(pending, charset);
        pending.clear();
        if (in_place) {
            std::memcpy(bytes.data() + written, piece.data(), piece.size());
            written += piece.size();
        } else {
            result.text += piece;
        }
    };

    while (read < bytes.size()) {
        const std::string_view rest = std::string_view(bytes).substr(read);
        if (in_place) {
            const std::size_t run = WellFormedUtf8Prefix(rest);
            if (run > 0) {
                flush();
                if (written != read) std::memmove(bytes.data() + written, bytes.data() + read, run);
                written += run;
                read += run;
                continue;
            }
        }
        std::uint32_t value = 0;
        const std::size_t length = LenientUtf8Length(rest, value);
        if (length == 0 || value == 0) {
            result.cut = length == 0 ? DecodedSubject::Cut::kMalformed : DecodedSubject::Cut::kNul;
            result.cut_offset = static_cast<std::int64_t>(read);
            break;
        }
        AppendUnits(pending, value);
        read += length;
        if (pending.size() >= kPendingUnits && !IsHighSurrogate(pending.back())) flush();
    }
    flush();
    if (in_place) {
        bytes.resize(written);
        result.text = std::move(bytes);
    }
    return result;
}

}  // namespace lintaro
