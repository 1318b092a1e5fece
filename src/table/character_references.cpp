// Character references (&amp; &#64; &eacute;) in a cell, decoded as a browser reads a page.
#include "table/character_references.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "base/utf8_sequence.h"

namespace lintaro {

namespace {

struct NamedReference {
    std::string_view name;
    std::string_view characters;
};

#include "table/character_references.inc"

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;
// The longest name in the table, its ';' included.
constexpr std::size_t kLongestName = 32;

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

const NamedReference* FindName(std::string_view name) {
    const auto* found = std::lower_bound(
        std::begin(kNamedReferences), std::end(kNamedReferences), name,
        [](const NamedReference& reference, std::string_view key) { return reference.name < key; });
    return found != std::end(kNamedReferences) && found->name == name ? found : nullptr;
}

// The numeric reference at text[0] == '#': how many bytes it takes (0 when it is none) and
// its character appended to out.
std::size_t DecodeNumeric(std::string_view text, std::string& out) {
    std::size_t i = 1;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    const std::size_t digits_start = i;
    char32_t number = 0;
    bool too_large = false;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) break;
        number = number * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
        // Once past the last code point the number only says "too large".
        if (number > kLastCodePoint) {
            too_large = true;
            number = kLastCodePoint + 1;
        }
    }
    if (i == digits_start) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    if (too_large || number == 0 || (number >= 0xD800 && number <= 0xDFFF)) {
        number = kReplacementCharacter;
    } else if (number >= 0x80 && number <= 0x9F) {
        number = kWindows1252References[number - 0x80];
    }
    AppendUtf8(out, number);
    return i;
}

// The named reference at text (after its '&'): how many bytes it takes (0 when none
// starts there) and its characters appended to out.
std::size_t DecodeNamed(std::string_view text, std::string& out) {
    std::size_t run = 0;
    while (run < text.size() && run < kLongestName && IsAsciiAlnum(text[run])) ++run;
    if (run == 0) return 0;
    if (run < text.size() && text[run] == ';') {
        if (const NamedReference* whole = FindName(text.substr(0, run + 1))) {
            out += whole->characters;
            return run + 1;
        }
    }
    // The longest legacy name (one without ';') that starts the run.
    for (std::size_t length = run; length >= 2; --length) {
        const NamedReference* legacy = FindName(text.substr(0, length));
        if (legacy == nullptr) continue;
        if (length < text.size() && text[length] == '=') return 0;
        out += legacy->characters;
        return length;
    }
    return 0;
}

}  // namespace

std::string DecodeCharacterReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (std::size_t amp = text.find('&'); amp != std::string_view::npos;
         amp = text.find('&', done)) {
        out.append(text.substr(done, amp - done));
        const std::string_view rest = text.substr(amp + 1);
        const std::size_t taken =
            !rest.empty() && rest[0] == '#' ? DecodeNumeric(rest, out) : DecodeNamed(rest, out);
        if (taken == 0) out += '&';
        done = amp + 1 + taken;
    }
    out.append(text.substr(done));
    return out;
}

}  // namespace lintaro
