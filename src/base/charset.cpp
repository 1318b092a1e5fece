// Character-set names: detection of the locale's set, normalisation and classification.
#include "base/charset.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace lintaro {

namespace {

// ASCII-only locales (C, POSIX) are treated as UTF-8, which holds ASCII unchanged.
std::string DetectCharset() {
    // A locale object of its own leaves the process's global locale untouched.
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return "UTF-8";
    std::string charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    const std::string name = NormalizedCharsetName(charset);
    if (name.empty() || name == "ansix3.41968" || name == "ascii" || name == "usascii") {
        return "UTF-8";
    }
    return charset;
}

}  // namespace

const std::string& ProgramCharset() {
    static const std::string charset = DetectCharset();
    return charset;
}

bool ProgramCharsetIsUtf8() {
    static const bool is_utf8 = IsUtf8Charset(ProgramCharset());
    return is_utf8;
}

std::string NormalizedCharsetName(std::string_view charset) {
    std::string name;
    for (char c : charset) {
        if (c != '-' && c != '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

bool IsUtf8Charset(std::string_view charset) {
    return NormalizedCharsetName(charset) == "utf8";
}

bool IsKnownCharset(const std::string& charset) {
    // "//IGNORE" and the like are iconv's options, not names: they would hide malformed bytes.
    if (charset.empty() || charset.find('/') != std::string::npos) return false;
    const iconv_t descriptor = iconv_open("UTF-8", charset.c_str());
    if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(descriptor);
    return true;
}

CharacterSetKind CharacterSetKindOf(std::string_view charset) {
    static constexpr std::array<std::string_view, 11> kDoubleByteSets = {
        "gbk",       "gb2312", "cp936", "euccn", "gb18030", "big5",
        "big5hkscs", "cp950",  "euckr", "cp949", "uhc"};
    const std::string name = NormalizedCharsetName(charset);
    if (name == "utf8") return CharacterSetKind::kUtf8;
    if (std::find(kDoubleByteSets.begin(), kDoubleByteSets.end(), name) != kDoubleByteSets.end()) {
        return CharacterSetKind::kDoubleByte;
    }
    return CharacterSetKind::kSingleByte;
}

CharacterSetKind ProgramCharacterSetKind() {
    static const CharacterSetKind kind = CharacterSetKindOf(ProgramCharset());
    return kind;
}

}  // namespace lintaro
