// The page templates, built once from their fixed parts.
#include "export/page_templates.h"

#include "base/program_text.h"
#include "export/style_sheet.h"

namespace lintaro {
namespace {

// Everything the two templates share, up to and including the line that opens the write
// division. The line ends are part of the page text, so each one is written out here.
std::string SharedHead() {
    std::string head =
        "<!doctype html>\n"
        "<html>\n"
        "<head>\n"
        "<meta charset='UTF-8'><meta name='viewport' content='width=device-width "
        "initial-scale=1'>\n"
        "\n"
        "<link href='";
    head += kWebFontAddress;
    head += "' rel='stylesheet' type='text/css' /><style type='text/css'>";
    head += StyleSheet();
    head +=
        "</style><title></title>\n"
        "</head>\n"
        "<body class='typora-export os-windows'><div class='typora-export-content'>\n"
        "<div id='write'  class=''>\r\n";
    return head;
}

}  // namespace

const std::string& LinksPageTemplate() {
    static const std::string kTemplate = SharedHead() + Utf16ToProgramText(u"<h2>导出</h2><TEXT>");
    return kTemplate;
}

const std::string& TablePageTemplate() {
    static const std::string kTemplate = SharedHead() + "\r\n";
    return kTemplate;
}

}  // namespace lintaro
