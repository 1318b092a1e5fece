// Character lengths for UTF-8, GBK-like double-byte sets and single-byte sets.
#include "export/character_walk.h"

namespace lintaro {
namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::size_t Utf8LengthAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t expected = 1;
    if (lead >= 0xC0 && lead <= 0xDF) expected = 2;
    if (lead >= 0xE0 && lead <= 0xEF) expected = 3;
    if (lead >= 0xF0 && lead <= 0xF7) expected = 4;
    // Count only the continuation bytes really present, so a cut sequence does not swallow
    // the character after it.
    std::size_t length = 1;
    while (length < expected && pos + length < text.size() &&
           IsContinuation(static_cast<unsigned char>(text[pos + length]))) {
        ++length;
    }
    return length;
}

bool IsDoubleByteLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsDigit(unsigned char byte) {
    return byte >= 0x30 && byte <= 0x39;
}

std::size_t DoubleByteLengthAt(std::string_view text, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const std::size_t left = text.size() - pos;
    if (!IsDoubleByteLead(at(0)) || left < 2) return 1;
    // GB18030's four-byte form; in the other sets a digit never follows a lead byte.
    if (IsDigit(at(1)) && left >= 4 && IsDoubleByteLead(at(2)) && IsDigit(at(3))) return 4;
    return 2;
}

}  // namespace

std::size_t CharacterLengthAt(CharacterSetKind kind, std::string_view text, std::size_t pos) {
    switch (kind) {
        case CharacterSetKind::kUtf8:
            return Utf8LengthAt(text, pos);
        case CharacterSetKind::kDoubleByte:
            return DoubleByteLengthAt(text, pos);
        case CharacterSetKind::kSingleByte:
            break;
    }
    return 1;
}

}  // namespace lintaro
