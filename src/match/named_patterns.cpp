// The named patterns both front ends offer beside a typed one.
#include "match/named_patterns.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "match/match_run.h"

namespace lintaro {

namespace {

// The patterns for HTML follow the way a browser reads a start tag: attributes in any order,
// parted by white space or "/", names in any letter case, values in double, single or no
// quotes. A match walks from where its search began ("\G") over the text, comments, the
// content of script-like elements and every other tag, each read whole so that an "<a" in an
// attribute value, a comment, a script or a style sheet is never taken for a tag (a browser
// does not either), and keeps only the element it stops at ("\K"). Every repetition is
// possessive or atomic: the walk reads each byte once and never goes back, however a page
// breaks off. (The engine's (*SKIP) would say the same more briefly, but it makes searching a
// page quadratic in its size.)

// White space and "/" between attributes.
constexpr std::string_view kSeparator = R"re([\s/]*+)re";
// An attribute's name: up to white space, "/", ">" or a later "=".
constexpr std::string_view kName = R"re([^\s/>][^\s/>=]*+)re";
// "=" and a value; a quoted value that is never closed runs to the end of the text.
constexpr std::string_view kValue = R"re(\s*+=\s*+(?>"[^"]*+"?|'[^']*+'?|[^\s>]*+))re";
// The value of an attribute named before, as the caller's next group: quoted or not. It takes
// no part when the attribute has no value.
constexpr std::string_view kCapturedValue =
    R"re((?:\s*+=\s*+(?|"([^"]*+)"|'([^']*+)'|((?!["'])[^\s>]*+)))?)re";
// Elements whose content a browser that runs scripts reads as text, not as tags.
constexpr std::string_view kTextElements[] = {"script", "style",   "textarea", "title",   "xmp",
                                              "iframe", "noembed", "noframes", "noscript"};

// The parts one after another. (Built by appending: GCC 12 at -O3 warns, wrongly, that the
// chains of "+" this replaces overlap their own buffers.)
std::string Join(std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (const std::string_view part : parts) joined += part;
    return joined;
}

// items repeated as often as they match, never giving any back. In groups of at most 1,000:
// the engine keeps a state for each item of a repetition that has not ended, and a page holds
// more tags, attributes or lines of script than it allows.
std::string Possessive(const std::string& items) {
    return Join({"(?>(?>(?:", items, "){1,1000})*)"});
}

// Any attributes up to the end of the tag: its ">" or the end of the text.
std::string Attributes() {
    return Possessive(Join({kSeparator, kName, "(?:", kValue, ")?"}));
}

// The attributes before the first one called name, and that name; what follows is its value.
std::string AttributesUpTo(std::string_view name) {
    const std::string exactly = Join({name, R"re((?=[\s/>=]))re"});
    return Join({Possessive(Join({kSeparator, "(?!", exactly, ")", kName, "(?:", kValue, ")?"})),
                 kSeparator, exactly});
}

// "<" and name as a whole tag name.
std::string TagStart(std::string_view name) {
    return Join({"<", name, R"re((?=[\s/>]))re"});
}

// What the walk passes over before an element called name that has the attribute wanted: text,
// comments, bogus comments ("<!DOCTYPE ...>", "<?xml ...?>"), script-like elements whole, the
// same element without that attribute, any other tag, a "<" that starts no tag.
std::string SkippedMarkup(std::string_view name, std::string_view attribute) {
    std::string items = Join({R"re([^<]++|<!--(?:-?>|)re", Possessive(R"re([^-]++|-(?!-!?>))re"),
                              R"re((?:--!?>)?)|<[!?][^>]*+>?)re"});
    for (const std::string_view element : kTextElements) {
        items += Join({"|", TagStart(element), Attributes(), "(?:", kSeparator, ">",
                       Possessive(Join({"[^<]++|<(?!/", element, R"re([\s/>]))re"})), ")?"});
    }
    items += Join({"|", TagStart(name), "(?!", AttributesUpTo(attribute), ")", Attributes()});
    items += Join({"|<(?!", name, R"re([\s/>]))re", R"re([a-z][^\s/>]*+)re", Attributes()});
    items += R"re(|<(?![a-z]))re";
    return Possessive(items);
}

// The first element called name with the attribute wanted from where the search began, as
// element_rest (what follows the tag name) says; the match holds the element only.
std::string HtmlElementPattern(std::string_view name, std::string_view attribute,
                               const std::string& element_rest) {
    return Join({R"re((?is)\G)re", SkippedMarkup(name, attribute), R"re(\K)re", TagStart(name),
                 element_rest});
}

std::string LinksPattern() {
    return HtmlElementPattern(
        "a", "href",
        Join({AttributesUpTo("href"), kCapturedValue, Attributes(), kSeparator, ">(",
              Possessive(R"re([^<]++|<(?!/?a[\s/>]))re"), R"re()(?:</a\s*+>)?)re"}));
}

// Images are rarer than links: between two of them a page can hold more tags than the walk
// of HtmlElementPattern may pass over at once, so this pattern looks for the tag itself (and so
// also finds one in a comment or a script).
std::string ImagesPattern() {
    return Join({"(?is)", TagStart("img"), "(?=", AttributesUpTo("src"), kCapturedValue, ")(?=(?:",
                 AttributesUpTo("alt"), kCapturedValue, ")?)", Attributes(), kSeparator, ">"});
}

// A run of URL characters: anything but white space, quotes, angle brackets, parentheses, "&"
// and the punctuation that a link detector leaves out at the URL's end (taken as one item, since
// the engine keeps a state for each item of a repetition).
constexpr std::string_view kUrlPlain = R"re([^\s<>"'`()&.,;:!?*~]++)re";
constexpr std::string_view kUrlPunctuation = R"re([.,;:!?*~])re";
// Parentheses that close inside the URL (a Wikipedia title); an unmatched ")" ends it.
constexpr std::string_view kUrlParenthesis = R"re(\([^\s<>"'`()]*+\))re";
// "&", unless it begins a character reference that ends the URL ("&gt;" after it in text).
constexpr std::string_view kUrlAmpersand = R"re(&(?![a-z0-9]++;[.,;:!?*~]*+(?![^\s<>"'`()])))re";

std::string UrlsPattern() {
    const std::string part = Join({kUrlPlain, "|", kUrlParenthesis, "|", kUrlAmpersand});
    return Join(
        {R"re((?i)(?:https?|ftp)://(?:)re", part, "|", kUrlPunctuation, "++(?=", part, "))++"});
}

std::vector<NamedPattern> MakeNamedPatterns() {
    return {
        {"default", "absolute <A HREF=\"...\"> links: 1 scheme and host, 2 the anchor's text",
         kPresetPattern},
        {"links", "every <a> with an href, as a browser reads it: 1 the href, 2 the content",
         LinksPattern()},
        {"images", "every <img> with a src: 1 the src, 2 the alt text (none without alt)",
         ImagesPattern()},
        {"emails", "e-mail addresses anywhere in the text: 1 the user, 2 the domain",
         R"re(([A-Za-z0-9._%+-]{1,64})@((?:[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\.){1,8}[A-Za-z]{2,63})(?![A-Za-z0-9-]))re"},
        {"urls", "http, https and ftp addresses anywhere in the text, as a link detector ends them",
         UrlsPattern()},
        {"ipv4", "IPv4 addresses, as in a log: 1 the address, 2 the port after \":\" if any",
         R"re((?<![0-9A-Za-z.])((?:(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\.){3}(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]))(?![0-9]|\.[0-9])(?::([0-9]{1,5})(?![0-9]))?)re"},
    };
}

}  // namespace

std::span<const NamedPattern> NamedPatterns() {
    static const std::vector<NamedPattern> patterns = MakeNamedPatterns();
    return patterns;
}

const NamedPattern* FindNamedPattern(std::string_view name) {
    const std::span<const NamedPattern> patterns = NamedPatterns();
    const auto found = std::ranges::find(patterns, name, &NamedPattern::name);
    return found == patterns.end() ? nullptr : &*found;
}

std::string NamedPatternNames() {
    std::string names;
    for (const NamedPattern& pattern : NamedPatterns()) {
        if (!names.empty()) names += ", ";
        names += pattern.name;
    }
    return names;
}

}  // namespace lintaro
