// The page templates: their fixed head and tail, and each part's own line ends.
#include "export/page_templates.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "export/link_row_template.h"

namespace lintaro {
namespace {

constexpr std::string_view kHead =
    "<!doctype html>\n<html>\n<head>\n"
    "<meta charset='UTF-8'><meta name='viewport' content='width=device-width "
    "initial-scale=1'>\n\n"
    "<link href='https://fonts.googleapis.com/css?family=Open+Sans:400italic,700italic,700,400"
    "&subset=latin,latin-ext' rel='stylesheet' type='text/css' /><style type='text/css'>"
    "html {overflow-x: initial !important;}\n";

// From the end of the theme to the end of the write division's opening line.
constexpr std::string_view kSharedTail =
    "}\r\n\n\n"
    "TEXT a {color:#0072c9 ;font-size:14px;font-weight:400;}\n"
    "TEXT .btext {color:#5c5c5c;font-size:14px;font-weight:bold;}\n"
    "TEXT b {color:#d5d3d3;font-size:14px;font-weight:600;}\n"
    "TEXT span{color:#d5d3d3;font-size:8px;font-weight:bold;}\n"
    "</style><title></title>\n</head>\n"
    "<body class='typora-export os-windows'><div class='typora-export-content'>\n"
    "<div id='write'  class=''>\r\n";

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::size_t Count(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(PageTemplatesTest, HeadsAndEndings) {
    const std::string& links = LinksPageTemplate();
    const std::string& table = TablePageTemplate();
    EXPECT_EQ(links.substr(0, kHead.size()), kHead);
    EXPECT_TRUE(EndsWith(links, std::string(kSharedTail) + "<h2>导出</h2><TEXT>"));
    EXPECT_TRUE(EndsWith(table, std::string(kSharedTail) + "\r\n"));
    // Identical up to and including the write division's line; ASCII but for the heading.
    const std::size_t shared = table.size() - 2;
    EXPECT_EQ(links.substr(0, shared), table.substr(0, shared));
    EXPECT_TRUE(std::all_of(table.begin(), table.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_EQ(Count(table, "https://fonts.googleapis.com/css?family=Open+Sans"), 2u);
}

TEST(PageTemplatesTest, EachPartKeepsItsLineEnds) {
    const std::string& page = TablePageTemplate();
    const std::size_t theme_start = page.find(":root {\r\n");
    const std::size_t theme_end = page.rfind(kSharedTail) + 3;  // after "}\r\n"
    ASSERT_NE(theme_start, std::string::npos);
    ASSERT_LT(theme_start, theme_end);

    // The head and the general rules: "\n" alone, the rules closed by two empty lines.
    const std::string_view general = std::string_view(page).substr(0, theme_start);
    EXPECT_EQ(general.find('\r'), std::string_view::npos);
    EXPECT_TRUE(EndsWith(general, "}\n\n\n"));

    // The theme: "\r\n" on every line.
    const std::string_view theme =
        std::string_view(page).substr(theme_start, theme_end - theme_start);
    EXPECT_TRUE(EndsWith(theme, "}\r\n"));
    EXPECT_EQ(Count(theme, "\n"), Count(theme, "\r\n"));
    EXPECT_EQ(Count(theme, "\r"), Count(theme, "\r\n"));
    EXPECT_EQ(Count(theme, "@include-when-export url(https://fonts.googleapis.com/css?"), 1u);
}

TEST(LinkRowTemplateTest, CutsIntoFourPieces) {
    EXPECT_EQ(LinkRowTemplate(),
              "<p><b>[&nbsp&nbsp</b><b class=\"btext\">|</b><b>&nbsp&nbsp]：&nbsp</b>"
              "<a href=\"|\">|</a></p>");
    const LinkRowPieces pieces = CutLinkRowTemplate();
    EXPECT_EQ(pieces.p1, "<p><b>[&nbsp&nbsp</b><b class=\"btext\">");
    EXPECT_EQ(pieces.p2, "</b><b>&nbsp&nbsp]：&nbsp</b><a href=\"");
    EXPECT_EQ(pieces.p3, "\">");
    EXPECT_EQ(pieces.p4, "</a></p>");
}

}  // namespace
}  // namespace lintaro
