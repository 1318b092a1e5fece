// The export pages' style sheet: general rules, theme and the link-row rules, each part with
// its own line ends.
#include "export/style_sheet.h"

#include <span>

namespace lintaro {
namespace {

// Document rules for everything a page of this kind may hold. The export pages use only the
// body, the write division, headings, figures and tables; the other rules keep a page that is
// extended by hand later consistent. Closed by two empty lines.
constexpr std::string_view kGeneralRules[] = {
    "html {overflow-x: initial !important;}",
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one rule split over two lines
    ":root { --bg-color: #ffffff; --text-color: #333333; --select-text-bg-color: #B5D6FC; "
    "--monospace: \"Lucida Console\", Consolas, \"DejaVu Sans Mono\", monospace; }",
    "html { font-size: 14px; color: var(--text-color); background-color: var(--bg-color); "
    "font-family: \"Helvetica Neue\", Helvetica, Arial, sans-serif; }",
    "body { margin: 0; padding: 0; line-height: 1.42857; }",
    "::selection { background: var(--select-text-bg-color); }",
    "*, *::before, *::after { box-sizing: border-box; }",
    "#write { margin: 0 auto; padding-top: 36px; position: relative; "
    "overflow-wrap: break-word; }",
    "body.typora-export { padding-left: 30px; padding-right: 30px; }",
    "@media screen and (max-width: 500px) {",
    "  body.typora-export { padding-left: 0; padding-right: 0; }",
    "}",
    "h1 { font-size: 2rem; }",
    "h2 { font-size: 1.8rem; }",
    "h3 { font-size: 1.6rem; }",
    "h4 { font-size: 1.4rem; }",
    "h5 { font-size: 1.2rem; }",
    "h6 { font-size: 1rem; }",
    "h1, h2, h3, h4, h5, h6 { break-after: avoid; }",
    "p { line-height: inherit; }",
    "a { cursor: pointer; }",
    "img, video { max-width: 100%; }",
    "figure { overflow-x: auto; margin: 1.2em 0; padding: 0; }",
    "figure > table { margin: 0; }",
    "table { border-collapse: collapse; border-spacing: 0; width: 100%; text-align: left; }",
    "thead { display: table-header-group; }",
    "tr { break-inside: avoid; }",
    "th, td { vertical-align: top; }",
    "pre, code, kbd, samp { font-family: var(--monospace); }",
    "pre.code-block { display: block; margin: 1em 0; padding: 8px 12px; overflow-x: auto; "
    "white-space: pre; font-size: 0.9rem; }",
    "pre.code-block.wrap { white-space: pre-wrap; }",
    "pre.code-block .line-number { display: inline-block; min-width: 2.5em; "
    "padding-right: 0.8em; text-align: right; opacity: 0.5; user-select: none; }",
    "code { padding: 0 2px; }",
    "kbd { padding: 0.1em 0.5em; border: 1px solid #c8ccd0; border-radius: 3px; "
    "font-size: 0.85em; }",
    "ul.task-list { padding-left: 1.4em; }",
    "li.task-item { list-style-type: none; position: relative; }",
    "li.task-item > input[type=\"checkbox\"] { position: absolute; left: -1.4em; top: 0.3em; "
    "margin: 0; }",
    "li.task-item.done { color: #999999; }",
    "sup.footnote-ref { font-size: 0.75em; padding: 0 3px; }",
    "sup.footnote-ref a { text-decoration: none; }",
    "section.footnotes { margin-top: 2em; font-size: 0.9rem; opacity: 0.85; }",
    "section.footnotes ol { padding-left: 1.5em; }",
    ".footnote-back { margin-left: 0.3em; text-decoration: none; }",
    "nav.contents { margin: 1em 0; font-size: 0.9rem; }",
    "nav.contents ul { list-style: none; margin: 0; padding-left: 0; }",
    "nav.contents li { margin: 0.2em 0; }",
    "nav.contents a { text-decoration: none; }",
    "nav.contents a:hover { text-decoration: underline; }",
    "nav.contents .level-2 { padding-left: 1.5em; }",
    "nav.contents .level-3 { padding-left: 3em; }",
    "nav.contents .level-4 { padding-left: 4.5em; }",
    "nav.contents .level-5 { padding-left: 6em; }",
    "nav.contents .level-6 { padding-left: 7.5em; }",
    ".side-outline { position: fixed; top: 0; bottom: 0; left: 0; width: 240px; "
    "overflow-y: auto; padding: 12px 0; font-size: 0.9rem; }",
    ".side-outline ul { list-style: none; margin: 0; padding-left: 1em; }",
    ".side-outline-entry { display: block; padding: 2px 8px; white-space: nowrap; "
    "overflow: hidden; text-overflow: ellipsis; cursor: pointer; }",
    ".side-outline-entry.current { font-weight: bold; }",
    ".side-outline-toggle { display: inline-block; width: 1em; text-align: center; }",
    ".side-outline-toggle::before { content: \"?\"; }",
    ".side-outline-open > .side-outline-entry .side-outline-toggle::before { content: \"?\"; }",
    ".side-outline-entry:hover .side-outline-toggle::before { content: \"?\"; }",
    ".side-outline-open > .side-outline-entry:hover .side-outline-toggle::before { "
    "content: \"?\"; }",
    ".side-outline-closed > ul { display: none; }",
    ".side-outline-leaf .side-outline-toggle { visibility: hidden; }",
    ".diagram { margin: 1em 0; text-align: center; overflow-x: auto; }",
    ".diagram svg { max-width: 100%; height: auto; }",
    ".diagram-error { color: #c0392b; font-family: var(--monospace); white-space: pre-wrap; }",
    ".math-block { margin: 1em 0; overflow-x: auto; text-align: center; }",
    "blockquote { margin: 1em 0; }",
    "blockquote > :first-child { margin-top: 0; }",
    "blockquote > :last-child { margin-bottom: 0; }",
    "li > p { margin: 0.4em 0; }",
    "hr { border: none; }",
    "mark { background-color: #fff3a3; color: inherit; }",
    "@media print {",
    "  body.typora-export { padding: 0; }",
    "  #write { padding-top: 0; }",
    "  .side-outline, nav.contents { display: none; }",
    "  figure, pre, table, img, svg { break-inside: avoid; }",
    "  a { color: inherit; text-decoration: none; }",
    "  @page { margin: 18mm 12mm; }",
    "}",
    "",
    "",
};

// The page theme: Open Sans with its fall-backs, a readable measure, quiet headings and
// bordered tables. The web-font import sits between the root properties and the rest.
constexpr std::string_view kThemeRoot[] = {
    ":root {", "  --side-bar-bg-color: #fafafa;", "  --control-text-color: #777;", "}", "",
};
constexpr std::string_view kWebFontImportStart = "@include-when-export url(";
constexpr std::string_view kWebFontImportEnd = ");";
constexpr std::string_view kThemeBody[] = {
    "",
    "/* Open Sans 400 (regular), latin-ext and latin */",
    "/* Open Sans 400 italic, latin-ext and latin */",
    "/* Open Sans 700 (bold), latin-ext and latin */",
    "/* Open Sans 700 italic, latin-ext and latin */",
    "",
    "html { font-size: 16px; }",
    "body {",
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one declaration split over two lines
    "  font-family: \"Open Sans\", \"Clear Sans\", \"Helvetica Neue\", Helvetica, Arial, "
    "'Segoe UI Emoji', sans-serif;",
    "  color: rgb(51, 51, 51);",
    "  line-height: 1.6;",
    "}",
    "",
    "#write { max-width: 860px; padding: 30px; padding-bottom: 100px; }",
    "@media only screen and (min-width: 1400px) { #write { max-width: 1024px; } }",
    "@media only screen and (min-width: 1800px) { #write { max-width: 1200px; } }",
    "",
    "a { color: #4183C4; }",
    "a:hover { text-decoration: underline; }",
    "",
    "h1, h2, h3, h4, h5, h6 { margin-top: 1rem; margin-bottom: 1rem; font-weight: bold; "
    "line-height: 1.4; }",
    "h1 { font-size: 2.25em; line-height: 1.225; border-bottom: 1px solid #eee; "
    "padding-bottom: 0.25em; }",
    "h2 { font-size: 1.75em; line-height: 1.225; border-bottom: 1px solid #eee; "
    "padding-bottom: 0.25em; }",
    "h3 { font-size: 1.5em; }",
    "h4 { font-size: 1.25em; }",
    "h5 { font-size: 1em; }",
    "h6 { font-size: 1em; color: #777; }",
    "",
    "p, blockquote, ul, ol, dl, table { margin: 0.8em 0; }",
    "",
    "table tr { border: 1px solid #dfe2e5; }",
    "table tr:nth-child(2n), thead { background-color: #f8f8f8; }",
    "table th { font-weight: bold; border: 1px solid #dfe2e5; border-bottom: 0; "
    "padding: 6px 13px; }",
    "table td { border: 1px solid #dfe2e5; padding: 6px 13px; }",
    "",
    "@media print {",
    "  html { font-size: 13px; }",
    "}",
    "",
    "code { background-color: #f4f5f6; border-radius: 3px; padding: 0 3px; font-size: 0.9em; }",
    "pre.code-block { background-color: #f6f8fa; border-radius: 4px; }",
    "blockquote { padding: 0 1em; border-left: 3px solid #d0d7de; color: #6a737d; }",
    "hr { border-top: 1px solid #e1e4e8; margin: 1.5em 0; }",
    "",
    ".side-outline { background-color: var(--side-bar-bg-color); "
    "border-right: 1px solid #eee; }",
    ".side-outline-entry:hover { background-color: #ececec; }",
    ".menu-list { color: var(--control-text-color); "
    "background-color: var(--side-bar-bg-color); }",
    ".menu-list .menu-item.active, .menu-list .menu-item:hover { color: #333; "
    "background-color: #ececec; }",
    ".preference-panel { color: var(--control-text-color); background-color: #fff; "
    "border: 1px solid #ddd; }",
    ".preference-panel .panel-title { font-weight: bold; border-bottom: 1px solid #eee; }",
    ".quick-open-panel { background-color: var(--side-bar-bg-color); "
    "box-shadow: 0 4px 12px rgba(0, 0, 0, 0.15); }",
    ".quick-open-panel .quick-open-item.active { background-color: #ececec; }",
};

// The look of the link rows inside the link page's TEXT element.
constexpr std::string_view kLinkRowRules[] = {
    "TEXT a {color:#0072c9 ;font-size:14px;font-weight:400;}",
    "TEXT .btext {color:#5c5c5c;font-size:14px;font-weight:bold;}",
    "TEXT b {color:#d5d3d3;font-size:14px;font-weight:600;}",
    "TEXT span{color:#d5d3d3;font-size:8px;font-weight:bold;}",
};

void AppendLines(std::string& out, std::span<const std::string_view> lines,
                 std::string_view line_end) {
    for (std::string_view line : lines) {
        out += line;
        out += line_end;
    }
}

std::string BuildStyleSheet() {
    std::string sheet;
    AppendLines(sheet, kGeneralRules, "\n");
    AppendLines(sheet, kThemeRoot, "\r\n");
    sheet += kWebFontImportStart;
    sheet += kWebFontAddress;
    sheet += kWebFontImportEnd;
    sheet += "\r\n";
    AppendLines(sheet, kThemeBody, "\r\n");
    sheet += "\n\n";  // two empty lines before the link-row rules
    AppendLines(sheet, kLinkRowRules, "\n");
    return sheet;
}

}  // namespace

const std::string& StyleSheet() {
    static const std::string kSheet = BuildStyleSheet();
    return kSheet;
}

}  // namespace lintaro
