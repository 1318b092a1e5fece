// The one list of export formats: what each is called, where its text goes and which function
// writes it. Everything that offers, names or runs the formats reads this list.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "export/format_writers.h"

namespace lintaro {

// One value a format, in the order of the list below.
enum class ExportFormat {
    StyledLinkPage,
    LinkList,
    PlainText,
    HtmlTable,
    StyledTablePage,
};

struct ExportFormatInfo {
    ExportFormat format;
    std::string_view cli_name;      // lintaro-cli's --format value
    std::u16string_view caption;    // of its button in the window
    std::u16string_view file_word;  // starts the file name
    std::string_view extension;     // ".html" or ".txt"
    bool to_clipboard;              // the text also goes to the clipboard
    // It reads the link and text columns of the column roles, so choosing it in the window
    // shows the user which columns those are.
    bool reads_column_roles;
    // What the file holds before the export text (the clipboard gets the text alone): the two
    // pages that carry no template of their own declare their character set.
    std::string_view file_start;
    FormatWriter write;
};

namespace file_starts {
inline constexpr std::string_view kCharsetLine = "<meta charset=\"utf-8\">\r\n";
}  // namespace file_starts

// In the order the window shows the format buttons.
inline constexpr ExportFormatInfo kExportFormats[] = {
    {
        .format = ExportFormat::StyledLinkPage,
        .cli_name = "styled-links",
        .caption = u"A链接(美化)",
        .file_word = u"个性链接",
        .extension = ".html",
        .to_clipboard = true,
        .reads_column_roles = true,
        .file_start = "",
        .write = WriteStyledLinkPage,
    },
    {
        .format = ExportFormat::LinkList,
        .cli_name = "links",
        .caption = u"A链接",
        .file_word = u"链接",
        .extension = ".html",
        .to_clipboard = true,
        .reads_column_roles = true,
        .file_start = file_starts::kCharsetLine,
        .write = WriteLinkList,
    },
    {
        .format = ExportFormat::PlainText,
        .cli_name = "text",
        .caption = u"文本",
        .file_word = u"文本",
        .extension = ".txt",
        .to_clipboard = true,
        .reads_column_roles = false,
        .file_start = "",
        .write = WritePlainText,
    },
    {
        .format = ExportFormat::HtmlTable,
        .cli_name = "table",
        .caption = u"HTML表格",
        .file_word = u"html表格",
        .extension = ".html",
        .to_clipboard = false,
        .reads_column_roles = false,
        .file_start = file_starts::kCharsetLine,
        .write = WriteHtmlTable,
    },
    {
        .format = ExportFormat::StyledTablePage,
        .cli_name = "styled-table",
        .caption = u"HTML表格(美化)",
        .file_word = u"个性表格",
        .extension = ".html",
        .to_clipboard = false,
        .reads_column_roles = false,
        .file_start = "",
        .write = WriteStyledTablePage,
    },
};

// The format the window checks at start and lintaro-cli exports unless told otherwise.
inline constexpr ExportFormat kDefaultExportFormat = ExportFormat::PlainText;

// Each format's entry stands at its value's place, so that looking one up is indexing.
constexpr bool EachFormatAtItsPlace() {
    for (std::size_t i = 0; i < std::size(kExportFormats); ++i) {
        if (static_cast<std::size_t>(kExportFormats[i].format) != i) return false;
    }
    return true;
}
static_assert(EachFormatAtItsPlace(), "kExportFormats must list the formats in enum order");

constexpr const ExportFormatInfo& FormatInfo(ExportFormat format) {
    return kExportFormats[static_cast<std::size_t>(format)];
}

}  // namespace lintaro
