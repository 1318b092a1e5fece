// The two link formats: the styled links page and the plain link list.
#include <string_view>

#include "base/charset.h"
#include "export/export_context.h"
#include "export/format_writers.h"
#include "export/link_row_template.h"
#include "export/page_templates.h"
#include "export/replace_pairs.h"

namespace lintaro {
namespace {

// The link formats carry cells harvested from other pages: no "<" or ">" of a cell may open or
// close an element there. "&" stays, so that the entities anchor texts carry still read right.
constexpr ReplacePair kLinkTextPairs[] = {{"<", "&lt;"}, {">", "&gt;"}};
// Inside a double-quoted attribute '"' would also end the value early.
constexpr ReplacePair kAttributePairs[] = {{"\"", "&quot;"}, {"<", "&lt;"}, {">", "&gt;"}};

constexpr std::string_view kLinkPageEnd = "</TEXT></div></div>\n</body>\n</html>\r\n";

// The escapers of a link row's cells, and what those cells take in the text.
struct LinkEscapers {
    PairReplacer text{kLinkTextPairs, ProgramCharacterSetKind()};
    PairReplacer attribute{kAttributePairs, ProgramCharacterSetKind()};

    // The text cells, the links as escaped href values and, when shown, the links again.
    std::size_t CellBytes(const ExportContext& context, bool link_shown) const {
        const int first = context.Selection().first_row;
        const int last = context.Selection().last_row;
        const int link = context.Roles().LinkColumn();
        const int text_column = context.Roles().TextColumn();
        return context.CellBytes(first, last, text_column, text_column, &text) +
               context.CellBytes(first, last, link, link, &attribute) +
               (link_shown ? context.CellBytes(first, last, link, link, &text) : 0);
    }
};

}  // namespace

void WriteStyledLinkPage(ExportContext& context) {
    const LinkEscapers escape;
    const LinkRowPieces pieces = CutLinkRowTemplate();
    std::string& out = context.Text();
    context.ReserveWhole([&] {
        return LinksPageTemplate().size() + kLinkPageEnd.size() + escape.CellBytes(context, true) +
               context.RowCount() *
                   (pieces.p1.size() + pieces.p2.size() + pieces.p3.size() + pieces.p4.size() + 2);
    });
    out += LinksPageTemplate();
    context.ForEachRow([&](int row) {
        const std::string_view link = context.Cell(row, context.Roles().LinkColumn());
        out += pieces.p1;
        escape.text.AppendReplaced(out, context.Cell(row, context.Roles().TextColumn()));
        out += pieces.p2;
        escape.attribute.AppendReplaced(out, link);
        out += pieces.p3;
        escape.text.AppendReplaced(out, link);
        out += pieces.p4;
        out += "\r\n";
    });
    out += kLinkPageEnd;
}

void WriteLinkList(ExportContext& context) {
    constexpr std::string_view kRowStart = "<a href=\"";
    constexpr std::string_view kHrefEnd = "\">";
    constexpr std::string_view kRowEnd = "</a><br/>\r\n";
    const LinkEscapers escape;
    std::string& out = context.Text();
    context.ReserveWhole([&] {
        return escape.CellBytes(context, false) +
               context.RowCount() * (kRowStart.size() + kHrefEnd.size() + kRowEnd.size());
    });
    context.ForEachRow([&](int row) {
        out += kRowStart;
        escape.attribute.AppendReplaced(out, context.Cell(row, context.Roles().LinkColumn()));
        out += kHrefEnd;
        escape.text.AppendReplaced(out, context.Cell(row, context.Roles().TextColumn()));
        out += kRowEnd;
    });
}

}  // namespace lintaro
