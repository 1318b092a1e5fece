// Decoding the subject file's bytes from UTF-8 into the program's text.
#include "match/subject_decoder.h"

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "base/processors.h"
#include "base/program_text.h"
#include "base/utf16.h"
#include "base/utf8_sequence.h"

namespace lintaro {

namespace {

// UTF-16 units gathered before they are converted in one go; bounds the buffer for big files.
constexpr std::size_t kPendingUnits = 1 << 16;

// A text is checked by several threads at once in pieces of at least this size.
constexpr std::size_t kLeastCheckPiece = std::size_t{1} << 21;

// WellFormedUtf8Prefix, with a large text split between threads. Each split point is moved past
// continuation bytes, so a sequence that is whole is never cut in two.
std::size_t WellFormedPrefixInParallel(std::string_view bytes) {
    const std::size_t pieces = PiecesFor(bytes.size(), kLeastCheckPiece);
    if (pieces == 1) return WellFormedUtf8Prefix(bytes);
    std::vector<std::size_t> starts = {0};
    for (std::size_t k = 1; k < pieces; ++k) {
        std::size_t split = bytes.size() * k / pieces;
        // A longer run of continuation bytes is malformed wherever it is cut.
        for (int step = 0; step < 3 && split < bytes.size() &&
                           (static_cast<unsigned char>(bytes[split]) & 0xC0) == 0x80;
             ++step) {
            ++split;
        }
        starts.push_back(split);
    }
    starts.push_back(bytes.size());
    std::vector<std::size_t> prefixes(pieces);
    const auto check = [&](std::size_t k) {
        prefixes[k] = WellFormedUtf8Prefix(bytes.substr(starts[k], starts[k + 1] - starts[k]));
    };
    RunPieces(pieces, check);
    for (std::size_t k = 0; k < pieces; ++k) {
        if (prefixes[k] < starts[k + 1] - starts[k]) return starts[k] + prefixes[k];
    }
    return bytes.size();
}

void AppendUnits(std::u16string& units, std::uint32_t value) {
    if (value <= 0xFFFF) {
        units += static_cast<char16_t>(value);
        return;
    }
    // Values beyond U+10FFFF (5- and 6-byte forms) are folded into a pair by the same masks.
    units += HighSurrogateOf(value);
    units += LowSurrogateOf(value);
}

// A surrogate left without its partner is no character; it becomes "?" here already, so that
// only characters the target set cannot hold are counted as replaced.
void ReplaceLoneSurrogates(std::u16string& units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            ++i;
        } else if (IsSurrogate(units[i])) {
            units[i] = u'?';
        }
    }
}

}  // namespace

DecodedSubject DecodeSubjectBytes(TextBuffer bytes, const std::string& charset) {
    const bool in_place = IsUtf8Charset(charset);
    DecodedSubject result;
    std::u16string pending;
    std::string converted_text;  // not in place: the text being built
    std::size_t read = 0;
    std::size_t written = 0;  // in place: bytes of output at the front of bytes
    // Most files are well-formed throughout: check them at full speed before the loop, which
    // then has nothing or little left to do.
    if (in_place) read = written = WellFormedPrefixInParallel(bytes.View());

    // Converts the pending units. In place the output fits where they came from: no lenient
    // sequence grows when written as UTF-8 ("?" or a shorter form), and a pair is never split
    // between two flushes.
    const auto flush = [&] {
        if (pending.empty()) return;
        ReplaceLoneSurrogates(pending);
        const ConvertedText converted = Utf16ToCharsetCounted(pending, charset);
        const std::string& piece = converted.text;
        result.replaced += converted.replaced;
        pending.clear();
        if (in_place) {
            std::memcpy(bytes.MutableData() + written, piece.data(), piece.size());
            written += piece.size();
        } else {
            converted_text += piece;
        }
    };

    while (read < bytes.Size()) {
        const std::string_view rest = bytes.View().substr(read);
        if (in_place) {
            const std::size_t run = WellFormedUtf8Prefix(rest);
            if (run > 0) {
                flush();
                if (written != read) {
                    std::memmove(bytes.MutableData() + written, bytes.MutableData() + read, run);
                }
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
        bytes.ShrinkTo(written);
        result.text = std::move(bytes);
    } else {
        result.text = TextBuffer(std::move(converted_text));
    }
    return result;
}

}  // namespace lintaro
