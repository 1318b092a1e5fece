// The five export formats and what each one's file and clipboard use.
#pragma once

#include <string_view>

namespace lintaro {

// In the order of the format radio buttons; PlainText is checked at start.
enum class ExportFormat {
    StyledLinkPage,
    LinkList,
    PlainText,
    HtmlTable,
    StyledTablePage,
};

struct ExportFormatInfo {
    std::u16string_view file_word;  // starts the file name
    std::string_view extension;     // ".html" or ".txt"
    bool to_clipboard;              // the text also goes to the clipboard
    // What the file holds before the export text (the clipboard gets the text alone): the two
    // pages that carry no template of their own declare their character set.
    std::string_view file_start;
};

const ExportFormatInfo& FormatInfo(ExportFormat format);

}  // namespace lintaro
