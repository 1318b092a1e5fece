// Relative links made absolute against the page's base, as RFC 3986 section 5 says.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lintaro {

// Where a page's base address was found.
enum class PageBaseOrigin { kNone, kBaseElement, kSavedFrom };

struct PageBase {
    std::string url;  // empty when the page names none
    PageBaseOrigin origin = PageBaseOrigin::kNone;
};

// The base address page (HTML) gives its relative links: the first <base href>, resolved
// against the address a browser noted when it saved the page when it is itself relative;
// else that address ("<!-- saved from url=(0041)https://... -->"); else none.
PageBase FindPageBase(std::string_view page);

// Whether link is one resolving leaves as it is: one with a scheme (http:, mailto:,
// javascript:, data:, ...), one that is only a fragment ("#top"), or the empty text.
bool KeepsItsForm(std::string_view link);

// link resolved against the absolute address base, or std::nullopt when either cannot be
// read as a URI reference (after spaces and bytes past ASCII are percent-encoded, as a
// browser does) or base has no scheme. Links that KeepsItsForm come back unchanged.
std::optional<std::string> ResolveLink(std::string_view link, std::string_view base);

}  // namespace lintaro
