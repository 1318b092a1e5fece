// The program's text: bytes in the locale's character set, and conversions at its edges.
#include "base/program_text.h"

#include <bit>
#include <cstring>
#include <utility>

#include "base/iconv_converter.h"
#include "base/utf16.h"
#include "base/utf8_sequence.h"

namespace lintaro {

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";

const char* NativeUtf16Name() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

ConvertedText Utf16ToUtf8(std::u16string_view text) {
    ConvertedText converted;
    std::string& out = converted.text;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, JoinSurrogates(unit, text[i + 1]));
            ++i;
        } else if (IsSurrogate(unit)) {
            out += '?';  // a lone surrogate is no character UTF-8 can hold
            ++converted.replaced;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return converted;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    out.resize(Utf8ToUtf16Into(text, out.data()));
    return out;
}

std::string_view AsBytes(std::u16string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

std::u16string BytesToUtf16(std::string_view bytes) {
    std::u16string out(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(char16_t));
    return out;
}

}  // namespace

ConvertedText Utf16ToCharsetCounted(std::u16string_view text, const std::string& charset) {
    if (IsUtf8Charset(charset)) return Utf16ToUtf8(text);
    IconvConverter converter(charset, NativeUtf16Name(),
                             IconvConverter::SourceUnit::kUtf16Character, "?");
    std::string converted = converter.Convert(AsBytes(text));
    return {std::move(converted), converter.Replaced()};
}

std::string Utf16ToCharset(std::u16string_view text, const std::string& charset) {
    return Utf16ToCharsetCounted(text, charset).text;
}

std::u16string CharsetToUtf16(std::string_view text, const std::string& charset) {
    if (IsUtf8Charset(charset)) return Utf8ToUtf16(text);
    const char16_t replacement[] = {kReplacementCharacter};
    IconvConverter converter(NativeUtf16Name(), charset, IconvConverter::SourceUnit::kByte,
                             std::string(AsBytes({replacement, 1})));
    return BytesToUtf16(converter.Convert(text));
}

std::string CharsetToUtf8(std::string_view text, const std::string& charset) {
    if (IsUtf8Charset(charset)) return std::string(text);
    IconvConverter converter("UTF-8", charset, IconvConverter::SourceUnit::kByte,
                             std::string(kUtf8Replacement));
    return converter.Convert(text);
}

ConvertedText Utf8ToCharsetCounted(std::string_view text, const std::string& charset) {
    if (IsUtf8Charset(charset)) return {std::string(text), 0};
    IconvConverter converter(charset, "UTF-8", IconvConverter::SourceUnit::kUtf8Character, "?");
    std::string converted = converter.Convert(text);
    return {std::move(converted), converter.Replaced()};
}

std::string Utf8ToCharset(std::string_view text, const std::string& charset) {
    return Utf8ToCharsetCounted(text, charset).text;
}

std::string FirstUnheldCharacter(std::string_view utf8, const std::string& charset) {
    const bool whole = IsUtf8Charset(charset) || Utf8ToCharsetCounted(utf8, charset).replaced == 0;
    for (std::string_view rest = utf8; !rest.empty();) {
        char32_t value = 0;
        const std::size_t length = WellFormedUtf8Length(rest, value);
        if (length == 0) return std::string(rest.substr(0, 1));
        const std::string_view character = rest.substr(0, length);
        // Only a text that lost characters is tried one character at a time.
        if (!whole && Utf8ToCharsetCounted(character, charset).replaced != 0) {
            return std::string(character);
        }
        rest.remove_prefix(length);
    }
    return {};
}

std::size_t Utf8ToUtf16Into(std::string_view text, char16_t* out) {
    char16_t* const start = out;
    while (!text.empty()) {
        char32_t value = 0;
        std::size_t length = WellFormedUtf8Length(text, value);
        if (length == 0) {
            *out++ = kReplacementCharacter;
            length = 1;
        } else if (value >= 0x10000) {
            // Four bytes give two units: never more units than bytes.
            *out++ = HighSurrogateOf(value);
            *out++ = LowSurrogateOf(value);
        } else {
            *out++ = static_cast<char16_t>(value);
        }
        text.remove_prefix(length);
    }
    return static_cast<std::size_t>(out - start);
}

std::string Utf16ToProgramText(std::u16string_view text) {
    return Utf16ToCharset(text, ProgramCharset());
}

std::u16string ProgramTextToUtf16(std::string_view text) {
    return CharsetToUtf16(text, ProgramCharset());
}

std::string ProgramTextToUtf8(std::string_view text) {
    return CharsetToUtf8(text, ProgramCharset());
}

std::string Utf8ToProgramText(std::string_view text) {
    return Utf8ToCharset(text, ProgramCharset());
}

}  // namespace lintaro
