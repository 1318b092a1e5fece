// The export driver, step by step.
#include "export/export_selection.h"

#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <string_view>

#include "base/program_text.h"
#include "export/export_file_writer.h"
#include "export/export_sink.h"
#include "export/export_text.h"
#include "export/output_directory.h"

namespace lintaro {

std::string ExportDoneText(const std::string& directory, const std::string& file_name) {
    return Utf16ToProgramText(u"已导出到目录：") + directory + "\r\n" + file_name;
}

std::string ExportDoneCaption() {
    return Utf16ToProgramText(u"完成");
}

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
    // Running out of memory stops the export with a message and leaves everything as it was:
    // the table, the clipboard and the folder (a file not yet placed is removed).
    const auto out_of_memory = [&io](std::u16string_view doing) {
        io.ShowMessage(Utf16ToProgramText(std::u16string(u"内存不足：") + std::u16string(doing)),
                       Utf16ToProgramText(u"错误"), true);
    };
    WorkProgress progress;
    std::string text;
    std::optional<WriteResult> written;
    bool memory_ran_out = false;
    const auto write_file = [&](const std::function<bool(PendingFile&)>& fill_text) {
        written = WriteNewFile(files, directory, stem, info.extension, [&](PendingFile& file) {
            file.Write(info.file_start);
            return fill_text(file);
        });
    };
    io.RunLongWork(progress, [&] {
        try {
            if (info.to_clipboard) {
                // The clipboard takes the whole text; the file is written from it.
                text = BuildExportText(format, table, selection, roles, &progress);
                if (progress.CancelRequested()) return;
                write_file([&text](PendingFile& file) {
                    WriteProgramTextAsUtf8(
                        text, [&file](std::string_view bytes) { return file.Write(bytes); });
                    return true;
                });
            } else {
                // Only the file takes the text: it goes there a block at a time, as it is made.
                write_file([&](PendingFile& file) {
                    ExportSink sink([&file](std::string_view bytes) { return file.Write(bytes); });
                    WriteExportText(format, table, selection, roles, sink, &progress);
                    return !progress.CancelRequested();
                });
            }
        } catch (const std::bad_alloc&) {
            memory_ran_out = true;
            text = std::string();
        }
    });
    if (memory_ran_out) return out_of_memory(u"无法完成导出，没有写入文件");
    if (!written) return;  // cancelled: no file, nothing on the clipboard, nothing to report
    if (info.to_clipboard) {
        try {
            io.SetClipboardText(text);
        } catch (const std::bad_alloc&) {
            // The clipboard keeps what it held; the file is written all the same.
            out_of_memory(u"无法把导出文本放到剪贴板");
        }
        std::string().swap(text);  // the clipboard has its own copy: not kept through the message
    }

    if (written->ok()) {
        io.ShowExportDone(directory, std::filesystem::path(written->path).filename().string());
    } else {
        io.ShowMessage(Utf16ToProgramText(u"无法写入导出文件：") + written->path + "\r\n" +
                           io.ErrorWords(written->error),
                       Utf16ToProgramText(u"错误"), true);
    }
}

}  // namespace lintaro
