// The file name word, extension and clipboard use of each export format.
#include "export/export_format.h"

#include <array>

namespace lintaro {

const ExportFormatInfo& FormatInfo(ExportFormat format) {
    static constexpr std::string_view kCharsetLine = "<meta charset=\"utf-8\">\r\n";
    static constexpr std::array<ExportFormatInfo, 5> kInfo = {{
        {u"个性链接", ".html", true, ""},
        {u"链接", ".html", true, kCharsetLine},
        {u"文本", ".txt", true, ""},
        {u"html表格", ".html", false, kCharsetLine},
        {u"个性表格", ".html", false, ""},
    }};
    return kInfo[static_cast<std::size_t>(format)];
}

}  // namespace lintaro
