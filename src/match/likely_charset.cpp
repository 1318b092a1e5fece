// The character set a file that is not UTF-8 is most likely in, from what it declares or holds.
#include "match/likely_charset.h"

#include <algorithm>
#include <cctype>

#include "base/charset.h"
#include "base/iconv_converter.h"
#include "match/subject_text.h"

namespace lintaro {

namespace {

constexpr std::size_t kDeclarationWindow = 4096;

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The value after attribute=, quoted or not, in text (lower case) from position at on.
std::string_view ValueAfter(std::string_view text, std::size_t at) {
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at == text.size() || text[at] != '=') return {};
    ++at;
    while (at < text.size() && (IsSpace(text[at]) || text[at] == '"' || text[at] == '\'')) ++at;
    std::size_t end = at;
    while (end < text.size() && IsNameCharacter(text[end])) ++end;
    return text.substr(at, end - at);
}

// The first "charset=NAME" inside a <meta ...> tag of head (lower case).
std::string_view MetaCharset(std::string_view head) {
    for (std::size_t tag = head.find("<meta"); tag != std::string_view::npos;
         tag = head.find("<meta", tag + 1)) {
        const std::string_view inside = head.substr(tag, head.find('>', tag) - tag);
        for (std::size_t name = inside.find("charset"); name != std::string_view::npos;
             name = inside.find("charset", name + 1)) {
            const std::string_view value = ValueAfter(inside, name + 7);
            if (!value.empty()) return value;
        }
    }
    return {};
}

// The encoding of an XML declaration at the start of head (lower case).
std::string_view XmlEncoding(std::string_view head) {
    if (!head.starts_with("<?xml")) return {};
    const std::string_view declaration = head.substr(0, head.find("?>"));
    const std::size_t name = declaration.find("encoding");
    return name == std::string_view::npos ? std::string_view{} : ValueAfter(declaration, name + 8);
}

bool DecodesWholly(std::string_view bytes, const std::string& charset) {
    if (!IsKnownCharset(charset)) return false;
    IconvConverter converter("UTF-8", charset, IconvConverter::SourceUnit::kByte, "");
    return converter.ConvertPrefix(bytes, nullptr) == bytes.size();
}

}  // namespace

std::string DeclaredCharset(std::string_view bytes) {
    // Longer marks first: the UTF-32LE mark begins with the UTF-16LE one.
    static constexpr std::pair<std::string_view, std::string_view> kMarks[] = {
        {{"\xFF\xFE\0\0", 4}, "UTF-32LE"}, {{"\0\0\xFE\xFF", 4}, "UTF-32BE"},
        {"\xEF\xBB\xBF", "UTF-8"},         {"\xFF\xFE", "UTF-16LE"},
        {"\xFE\xFF", "UTF-16BE"},
    };
    for (const auto& [mark, charset] : kMarks) {
        if (bytes.starts_with(mark)) return std::string(charset);
    }
    std::string head(bytes.substr(0, kDeclarationWindow));
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string_view declared = MetaCharset(head);
    if (declared.empty()) declared = XmlEncoding(head);
    if (declared == "gb2312") return "GBK";
    return UpperCase(declared);
}

std::string LikelyCharset(std::string_view bytes) {
    std::string declared = DeclaredCharset(bytes);  // not const: returned by moving
    if (!declared.empty() && !IsUtf8Charset(declared) && DecodesWholly(bytes, declared)) {
        return declared;
    }
    if (DecodesWholly(bytes, "GB18030")) return "GB18030";
    return {};
}

std::string LikelyCharsetOfFile(const std::string& path) {
    return LikelyCharset(ReadSubjectBytes(path).bytes.View());
}

}  // namespace lintaro
