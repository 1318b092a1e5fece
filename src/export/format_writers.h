// The writers of the export formats, one function each, which the format list points at.
#pragma once

namespace lintaro {

class ExportContext;

// Appends a format's whole text for the context's selection to the context's text, a row at a
// time through ExportContext::ForEachRow.
using FormatWriter = void (*)(ExportContext& context);

// The two link formats read the link and text columns of the roles, row by row, and ignore the
// selected columns. Every "<" and ">" of those cells is written "&lt;" and "&gt;", and the
// link also goes into an href attribute with each '"' written "&quot;".
//
// The links page: each row the styled link row template with its cells, between the links page
// template and the end of its TEXT element.
void WriteStyledLinkPage(ExportContext& context);
// One anchor a row: the link as its href, the text cell as its text, then a line break.
void WriteLinkList(ExportContext& context);

// The selected cells as they are, a line a row; with several columns each cell is followed by
// four spaces.
void WritePlainText(ExportContext& context);

// The two table formats read the selected columns, take their header cells from row 0 and
// escape every cell text into HTML entities.
//
// A bare table.
void WriteHtmlTable(ExportContext& context);
// The table inside the table page template.
void WriteStyledTablePage(ExportContext& context);

}  // namespace lintaro
