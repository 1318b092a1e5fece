// Fuzz target: decoding the subject file's bytes, checked against a plain reference decoder.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/program_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "match/subject_decoder.h"

namespace lintaro {
namespace {

// The decoding rules written out one byte at a time, with nothing shared with the program:
// UTF-16 units of the lenient sequences, up to the first malformed sequence or NUL.
struct ReferenceDecoding {
    std::u16string units;
    DecodedSubject::Cut cut = DecodedSubject::Cut::kNone;
    std::int64_t cut_offset = -1;
};

ReferenceDecoding ReferenceDecode(std::string_view bytes) {
    ReferenceDecoding result;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int followers = 0;
        std::uint32_t value = 0;
        if (lead <= 0x7F) {
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            followers = 1, value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            followers = 2, value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            followers = 3, value = lead & 0x07;
        } else if ((lead & 0xFC) == 0xF8) {
            followers = 4, value = lead & 0x03;
        } else if ((lead & 0xFE) == 0xFC) {
            followers = 5, value = lead & 0x01;
        } else {
            followers = -1;  // a continuation byte, 0xFE or 0xFF
        }
        // A sequence that runs past the end is malformed like a bad follower.
        bool malformed = followers < 0 || i + static_cast<std::size_t>(followers) >= bytes.size();
        for (int k = 1; !malformed && k <= followers; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) malformed = true;
            value = (value << 6) | (next & 0x3F);
        }
        if (malformed || value == 0) {
            result.cut = malformed ? DecodedSubject::Cut::kMalformed : DecodedSubject::Cut::kNul;
            result.cut_offset = static_cast<std::int64_t>(i);
            break;
        }
        if (value <= 0xFFFF) {
            result.units += static_cast<char16_t>(value);
        } else {
            const std::uint32_t above = value - 0x10000;
            result.units += static_cast<char16_t>(0xD800 + ((above >> 10) & 0x3FF));
            result.units += static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        }
        i += 1 + static_cast<std::size_t>(followers);
    }
    return result;
}

// UTF-16 to UTF-8 with every unpaired surrogate written as "?".
std::string ReferenceUtf8(std::u16string_view units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t value = units[i];
        const bool high = value >= 0xD800 && value <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
            ++i;
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            out += '?';
            continue;
        }
        if (value < 0x80) {
            out += static_cast<char>(value);
        } else if (value < 0x800) {
            out += static_cast<char>(0xC0 | (value >> 6));
            out += static_cast<char>(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            out += static_cast<char>(0xE0 | (value >> 12));
            out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (value >> 18));
            out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (value & 0x3F));
        }
    }
    return out;
}

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    // The first byte picks the program's character set; the rest is the file.
    static const char* const kCharsets[] = {"UTF-8", "GBK", "ISO-8859-1"};
    const std::string charset = kCharsets[input.TakeInt(0, 2)];
    const std::string bytes(input.TakeRest());

    const DecodedSubject decoded = DecodeSubjectBytes(TextBuffer(bytes), charset);
    const ReferenceDecoding reference = ReferenceDecode(bytes);

    FuzzCheck(decoded.cut == reference.cut, "the text is cut where the reference cuts it");
    FuzzCheck(decoded.cut_offset == reference.cut_offset,
              "the cut lies where the reference's does");
    if (decoded.cut != DecodedSubject::Cut::kNone) {
        FuzzCheck(decoded.cut_offset >= 0 && decoded.cut_offset < static_cast<std::int64_t>(size),
                  "a cut position lies inside the input");
    }
    FuzzCheck(decoded.text.View().find('\0') == std::string::npos, "the text holds no NUL");
    const std::string expected = IsUtf8Charset(charset) ? ReferenceUtf8(reference.units)
                                                        : Utf16ToCharset(reference.units, charset);
    FuzzCheck(decoded.text.View() == expected, "the text is the reference decoding, converted");
    return 0;
}
