// The row of the styled link page, with "|" where the cells go, and its four pieces.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// "<p><b>[&nbsp&nbsp</b><b class=\"btext\">|</b><b>&nbsp&nbsp]：&nbsp</b><a href=\"|\">|</a></p>"
// in the program's text encoding (the colon is the full-width one).
const std::string& LinkRowTemplate();

// LinkRowTemplate cut at each "|": the text cell goes after p1, the link after p2 (inside
// the href value) and again after p3 (as the visible text).
struct LinkRowPieces {
    std::string_view p1;
    std::string_view p2;
    std::string_view p3;
    std::string_view p4;
};
LinkRowPieces CutLinkRowTemplate();

}  // namespace lintaro
