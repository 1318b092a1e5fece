// Relative links made absolute against the page's base, as RFC 3986 section 5 says.
#include "table/link_resolution.h"

#include <uriparser/Uri.h>

#include <algorithm>
#include <cctype>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "table/character_references.h"

namespace lintaro {

namespace {

bool IsAsciiWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The first place at or after from where text holds first followed by a byte that is second
// with bit 0x20 set or not: all the places where the two lower-case bytes begin, and a few more.
// Pages are full of '<': looking for it alone stopped at every tag.
std::size_t FindPairIgnoringCase(std::string_view text, char first, char second, std::size_t from) {
    std::size_t at = from;
#if defined(__SSE2__)
    const __m128i firsts = _mm_set1_epi8(first);
    const __m128i seconds = _mm_set1_epi8(static_cast<char>(second | 0x20));
    const __m128i case_bit = _mm_set1_epi8(0x20);
    for (; at + 17 <= text.size(); at += 16) {
        const auto* const bytes = reinterpret_cast<const __m128i*>(text.data() + at);
        const __m128i here = _mm_cmpeq_epi8(_mm_loadu_si128(bytes), firsts);
        const __m128i next = _mm_cmpeq_epi8(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + 1)),
                         case_bit),
            seconds);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(here, next)));
        if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; at + 1 < text.size(); ++at) {
        const auto next = static_cast<unsigned char>(text[at + 1]);
        if (text[at] == first && (next | 0x20U) == (static_cast<unsigned char>(second) | 0x20U)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Where lower_word (in lower case, at least two bytes, its first byte one without case, such as
// '<') next starts in text at or after from, letter case aside.
std::size_t FindIgnoringCase(std::string_view text, std::string_view lower_word, std::size_t from) {
    for (std::size_t at = FindPairIgnoringCase(text, lower_word[0], lower_word[1], from);
         at != std::string_view::npos;
         at = FindPairIgnoringCase(text, lower_word[0], lower_word[1], at + 1)) {
        const std::string_view after = text.substr(at);
        if (after.size() >= lower_word.size() &&
            std::equal(lower_word.begin(), lower_word.end(), after.begin(),
                       [](char b, char a) { return LowerAscii(a) == b; })) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The value of the attribute lower_name in tag (the text after the element's name, up to its
// '>'), with its character references decoded; std::nullopt when the tag has none.
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view lower_name) {
    std::size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && (IsAsciiWhiteSpace(tag[i]) || tag[i] == '/')) ++i;
        const std::size_t name_start = i;
        while (i < tag.size() && !IsAsciiWhiteSpace(tag[i]) && tag[i] != '=' && tag[i] != '/') ++i;
        std::string name(tag.substr(name_start, i - name_start));
        std::ranges::transform(name, name.begin(), LowerAscii);
        while (i < tag.size() && IsAsciiWhiteSpace(tag[i])) ++i;
        std::string_view value;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && IsAsciiWhiteSpace(tag[i])) ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i++];
                const std::size_t end = std::min(tag.find(quote, i), tag.size());
                value = tag.substr(i, end - i);
                i = end + 1;
            } else {
                const std::size_t start = i;
                while (i < tag.size() && !IsAsciiWhiteSpace(tag[i])) ++i;
                value = tag.substr(start, i - start);
            }
        }
        if (name == lower_name) return DecodeCharacterReferences(value);
        if (name.empty() && i == name_start) ++i;
    }
    return std::nullopt;
}

std::optional<std::string> BaseElementHref(std::string_view page) {
    for (std::size_t at = FindIgnoringCase(page, "<base", 0); at != std::string_view::npos;
         at = FindIgnoringCase(page, "<base", at + 1)) {
        const std::size_t after = at + 5;
        if (after < page.size() && !IsAsciiWhiteSpace(page[after]) && page[after] != '/' &&
            page[after] != '>') {
            continue;  // another element, such as <basefont>
        }
        const std::size_t end = std::min(page.find('>', after), page.size());
        if (auto href = AttributeValue(page.substr(after, end - after), "href")) return href;
    }
    return std::nullopt;
}

std::string SavedFromUrl(std::string_view page) {
    constexpr std::string_view kMark = "<!-- saved from url=(";
    const std::size_t mark = FindIgnoringCase(page, kMark, 0);
    if (mark == std::string_view::npos) return {};
    std::size_t i = mark + kMark.size();
    while (i < page.size() && std::isdigit(static_cast<unsigned char>(page[i])) != 0) ++i;
    if (i >= page.size() || page[i] != ')') return {};
    const std::size_t start = ++i;
    while (i < page.size() && !IsAsciiWhiteSpace(page[i]) && page.substr(i, 3) != "-->") ++i;
    return std::string(page.substr(start, i - start));
}

// A URI that uriparser parsed or resolved, freed when it goes.
class ParsedUri {
  public:
    ParsedUri() = default;
    ParsedUri(const ParsedUri&) = delete;
    ParsedUri& operator=(const ParsedUri&) = delete;
    ~ParsedUri() {
        if (held_) uriFreeUriMembersA(&uri_);
    }
    // The parsed URI points into its text, which it therefore keeps.
    bool Parse(std::string text) {
        text_ = std::move(text);
        const char* error_position = nullptr;
        held_ = uriParseSingleUriExA(&uri_, text_.data(), text_.data() + text_.size(),
                                     &error_position) == URI_SUCCESS;
        return held_;
    }
    // The result points into relative's and base's texts: they must outlive it.
    bool Resolve(ParsedUri& relative, ParsedUri& base) {
        held_ = uriAddBaseUriA(&uri_, &relative.uri_, &base.uri_) == URI_SUCCESS;
        return held_;
    }
    bool HasScheme() const { return held_ && uri_.scheme.first != nullptr; }
    std::optional<std::string> Text() const {
        int required = 0;
        if (!held_ || uriToStringCharsRequiredA(&uri_, &required) != URI_SUCCESS) {
            return std::nullopt;
        }
        std::string text(static_cast<std::size_t>(required) + 1, '\0');
        int written = 0;
        if (uriToStringA(text.data(), &uri_, required + 1, &written) != URI_SUCCESS) {
            return std::nullopt;
        }
        text.resize(static_cast<std::size_t>(std::max(written - 1, 0)));
        return text;
    }

  private:
    std::string text_;
    UriUriA uri_{};
    bool held_ = false;
};

// link as a browser reads an href before parsing it: white space at its ends and tabs and
// line breaks inside dropped, and the bytes a URI cannot hold (spaces, bytes past ASCII,
// quotes, angle brackets, ...) percent-encoded.
std::string UriText(std::string_view link) {
    while (!link.empty() && IsAsciiWhiteSpace(link.front())) link.remove_prefix(1);
    while (!link.empty() && IsAsciiWhiteSpace(link.back())) link.remove_suffix(1);
    constexpr std::string_view kUnsafe = " \"<>\\^`{|}";
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(link.size());
    for (const char c : link) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (byte < 0x20 || byte >= 0x7F || kUnsafe.find(c) != std::string_view::npos) {
            text += '%';
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

PageBase FindPageBase(std::string_view page) {
    const std::string saved_from = SavedFromUrl(page);
    if (const std::optional<std::string> href = BaseElementHref(page); href && !href->empty()) {
        ParsedUri parsed;
        if (parsed.Parse(UriText(*href)) && parsed.HasScheme()) {
            return {*href, PageBaseOrigin::kBaseElement};
        }
        if (!saved_from.empty()) {
            if (auto resolved = ResolveLink(*href, saved_from)) {
                return {*resolved, PageBaseOrigin::kBaseElement};
            }
        }
    }
    if (!saved_from.empty()) return {saved_from, PageBaseOrigin::kSavedFrom};
    return {};
}

bool KeepsItsForm(std::string_view link) {
    while (!link.empty() && IsAsciiWhiteSpace(link.front())) link.remove_prefix(1);
    if (link.empty() || link.front() == '#') return true;
    // A scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
    if (std::isalpha(static_cast<unsigned char>(link.front())) == 0) return false;
    for (const char c : link.substr(1)) {
        if (c == ':') return true;
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return false;
}

std::optional<std::string> ResolveLink(std::string_view link, std::string_view base) {
    if (KeepsItsForm(link)) return std::string(link);
    ParsedUri base_uri;
    ParsedUri relative;
    if (!base_uri.Parse(UriText(base)) || !base_uri.HasScheme() || !relative.Parse(UriText(link))) {
        return std::nullopt;
    }
    ParsedUri absolute;
    if (!absolute.Resolve(relative, base_uri)) return std::nullopt;
    return absolute.Text();
}

}  // namespace lintaro
