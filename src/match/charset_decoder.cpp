// Decoding the subject file's bytes from a character set the user named into the program's text.
#include "match/charset_decoder.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "base/huge_pages.h"
#include "base/iconv_converter.h"
#include "base/program_text.h"

namespace lintaro {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Bytes per code unit of the set iconv knows as from: a NUL character is that many zero bytes
// on a unit boundary (2 or 4 in the UTF-16 and UTF-32 families, 1 elsewhere, where a zero byte
// is the NUL character and nothing else). Asked of iconv, whose names for those sets are many
// (UNICODELITTLE, CSUNICODE, WCHAR_T, ...): one more "A" takes one more unit, and a mark the
// set writes first is in both conversions.
std::size_t CodeUnitSize(const std::string& from) {
    const auto length_of = [&from](std::string_view text) {
        return IconvConverter(from, "UTF-8", IconvConverter::SourceUnit::kUtf8Character, "")
            .Convert(text)
            .size();
    };
    const std::size_t one = length_of("A");
    const std::size_t two = length_of("AA");
    return two > one ? two - one : 1;
}

std::size_t FirstNulCharacter(std::string_view bytes, std::size_t unit) {
    if (unit == 1) return bytes.find('\0');
    for (std::size_t i = 0; i + unit <= bytes.size(); i += unit) {
        const std::string_view units = bytes.substr(i, unit);
        if (std::all_of(units.begin(), units.end(), [](char c) { return c == '\0'; })) return i;
    }
    return kNone;
}

// The length of a byte-order mark at the start of bytes that says what the set's name says.
std::size_t OwnByteOrderMarkLength(std::string_view bytes, const std::string& name) {
    static constexpr std::pair<std::string_view, std::string_view> kMarks[] = {
        {"utf16le", {"\xFF\xFE", 2}},
        {"utf16be", {"\xFE\xFF", 2}},
        {"utf32le", {"\xFF\xFE\0\0", 4}},
        {"utf32be", {"\0\0\xFE\xFF", 4}},
    };
    for (const auto& [set, mark] : kMarks) {
        if (name == set && bytes.starts_with(mark)) return mark.size();
    }
    return 0;
}

}  // namespace

DecodedSubject DecodeCharsetBytes(std::string_view bytes, const std::string& from,
                                  const std::string& charset) {
    const std::string name = NormalizedCharsetName(from);
    const std::size_t start = OwnByteOrderMarkLength(bytes, name);
    const std::string_view rest = bytes.substr(start);
    const std::size_t nul = FirstNulCharacter(rest, CodeUnitSize(from));
    const std::string_view body = rest.substr(0, nul);

    DecodedSubject result;
    std::string utf8;
    try {
        // Most legacy pages are largely ASCII; the text grows beyond this only by copying.
        utf8.reserve(body.size() + body.size() / 4 + 16);
        AdviseHugePages(utf8.data(), utf8.capacity());
    } catch (const std::exception&) {
        // No room ahead of time: let the text grow as it comes.
    }
    IconvConverter converter("UTF-8", from, IconvConverter::SourceUnit::kByte, "");
    const std::size_t converted = converter.ConvertPrefix(body, &utf8);
    if (converted < body.size()) {
        result.cut = DecodedSubject::Cut::kMalformed;
        result.cut_offset = static_cast<std::int64_t>(start + converted);
    } else if (nul != kNone) {
        result.cut = DecodedSubject::Cut::kNul;
        result.cut_offset = static_cast<std::int64_t>(start + nul);
    }
    if (IsUtf8Charset(charset)) {
        result.text = TextBuffer(std::move(utf8));
    } else {
        ConvertedText held = Utf8ToCharsetCounted(utf8, charset);
        result.text = TextBuffer(std::move(held.text));
        result.replaced = held.replaced;
    }
    return result;
}

}  // namespace lintaro
