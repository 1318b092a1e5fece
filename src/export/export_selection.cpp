// The export driver, step by step.
#include "export/export_selection.h"

#include <optional>

#include "base/program_text.h"
#include "base/system_error.h"
#include "export/export_file_writer.h"
#include "export/export_text.h"
#include "export/output_directory.h"

namespace lintaro {

void ExportSelection(ExportIo& io) {
    const SelectionRect selection = io.Selection();
    if (selection.IsEmpty()) {
        io.ShowMessage(Utf16ToProgramText(u"没有要导出的数据，\r\n请先在表格中选择"),
                       Utf16ToProgramText(u"错误"), true);
        return;
    }

    const ExportFormat format = io.CheckedFormat();
    const ExportFormatInfo& info = FormatInfo(format);
    const ResultTable& table = io.Table();
    const ColumnRoles roles = io.Roles();
    const std::string directory = OutputDirectory(io.DropZoneCaption());
    const std::string stem = Utf16ToProgramText(info.file_word) + DateTimeText(io.Now());
    FileSystem& files = io.Files();

    // Building and writing a large selection takes a while: that part runs as long work, which
    // a cancel stops before anything is written.
    WorkProgress progress;
    std::string text;
    std::optional<WriteResult> written;
    io.RunLongWork(progress, [&] {
        text = BuildExportText(format, table, selection, roles, &progress);
        if (progress.CancelRequested()) return;
        // Program text already is UTF-8 on most systems: write it without a converted copy.
        const std::string converted =
            ProgramCharsetIsUtf8() ? std::string() : ProgramTextToUtf8(text);
        const std::string_view bytes = ProgramCharsetIsUtf8() ? std::string_view(text) : converted;
        written = WriteNewFile(files, directory, stem, info.extension, bytes);
    });
    if (!written) return;  // cancelled: no file, nothing on the clipboard, nothing to report
    if (info.to_clipboard) io.SetClipboardText(text);

    if (written->ok) {
        io.ShowMessage(Utf16ToProgramText(u"已导出到目录：") + directory,
                       Utf16ToProgramText(u"完成"), false);
    } else {
        io.ShowMessage(
            Utf16ToProgramText(u"无法写入导出文件：") + written->path + "\r\n" +
                SystemErrorText(written->error),
            Utf16ToProgramText(u"错误"), true);
    }
}

}  // namespace lintaro
