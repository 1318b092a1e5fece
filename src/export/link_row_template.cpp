// The styled link page's row template and its cut into pieces.
#include "export/link_row_template.h"

#include "base/program_text.h"

namespace lintaro {

const std::string& LinkRowTemplate() {
    static const std::string kTemplate = Utf16ToProgramText(
        u"<p><b>[&nbsp&nbsp</b><b class=\"btext\">|</b><b>&nbsp&nbsp]：&nbsp</b>"
        u"<a href=\"|\">|</a></p>");
    return kTemplate;
}

LinkRowPieces CutLinkRowTemplate() {
    std::string_view rest = LinkRowTemplate();
    const auto next_piece = [&rest] {
        const std::size_t bar = rest.find('|');
        const std::string_view piece = rest.substr(0, bar);
        rest.remove_prefix(bar == std::string_view::npos ? rest.size() : bar + 1);
        return piece;
    };
    LinkRowPieces pieces;
    pieces.p1 = next_piece();
    pieces.p2 = next_piece();
    pieces.p3 = next_piece();
    pieces.p4 = next_piece();
    return pieces;
}

}  // namespace lintaro
