// The export driver, step by step.
#include "export/export_selection.h"

#include <filesystem>
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
    return ExportDoneLead() + directory + "\r\n" + file_name;
}

std::string ExportDoneLead() {
    return Utf16ToProgramText(u"已导出到目录：");
}

std::string ExportFailedText(const std::string& directory, const std::string& file_name,
                             const std::string& reason) {
    return ExportFailedLead() + directory + file_name + "\r\n" + reason;
}

std::string ExportFailedLead() {
    return Utf16ToProgramText(u"无法写入导出文件：");
}

std::string ExportErrorCaption() {
    return Utf16ToProgramText(u"错误");
}

std::string ExportDoneCaption() {
    return Utf16ToProgramText(u"完成");
}

void ExportSelection(ExportIo& io) {
    const SelectionRect selection = io.Selection();
    if (selection.IsEmpty()) {
        io.ShowMessage(Utf16ToProgramText(u"没有要导出的数据，\r\n请先在表格中选择"),
                       ExportErrorCaption(), true);
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
    // a cancel stops; then no file is left and the clipboard keeps what it held.
    // Running out of memory stops the export with a message and leaves everything as it was:
    // the table, the clipboard and the folder (a file not yet placed is removed). Only the
    // clipboard running out leaves the file to be written all the same.
    const auto out_of_memory = [&io](std::u16string_view doing) {
        io.ShowMessage(Utf16ToProgramText(std::u16string(u"内存不足：") + std::u16string(doing)),
                       ExportErrorCaption(), true);
    };
    WorkProgress progress;
    std::optional<WriteResult> written;
    bool memory_ran_out = false;
    bool clipboard_memory_ran_out = false;
    const auto add_to_clipboard = [&](std::string_view bytes) {
        if (clipboard_memory_ran_out) return;
        try {
            io.AddClipboardText(bytes);
        } catch (const std::bad_alloc&) {
            clipboard_memory_ran_out = true;
            io.DropClipboardText();
        }
    };
    // The text goes a block at a time, as it is made, into the file (when there is one) and,
    // for the formats that also go there, into the clipboard's text: it is never held whole
    // besides. A file that fails stops the text only when the clipboard does not take it too.
    const auto export_into = [&](PendingFile* file) {
        ExportSink sink([&](std::string_view bytes) {
            const std::error_code file_error = file ? file->Write(bytes) : std::error_code();
            if (!info.to_clipboard) return file_error;
            add_to_clipboard(bytes);
            return std::error_code();
        });
        WriteExportText(format, table, selection, roles, sink, &progress);
        return !progress.CancelRequested();
    };
    io.RunLongWork(progress, [&] {
        try {
            bool filled = false;
            written = WriteNewFile(files, directory, stem, info.extension, [&](PendingFile& file) {
                filled = true;
                file.Write(info.file_start);
                return export_into(&file);
            });
            // A file that cannot be created is reported; the clipboard still gets the text.
            if (written && !filled && info.to_clipboard && !export_into(nullptr)) written.reset();
        } catch (const std::bad_alloc&) {
            memory_ran_out = true;
        }
    });
    if (memory_ran_out || !written) {
        io.DropClipboardText();
        // Cancelled: no file, nothing on the clipboard, nothing to report.
        if (memory_ran_out) out_of_memory(u"无法完成导出，没有写入文件");
        return;
    }
    if (info.to_clipboard) {
        if (!clipboard_memory_ran_out) {
            try {
                io.PlaceClipboardText();
            } catch (const std::bad_alloc&) {
                clipboard_memory_ran_out = true;
                io.DropClipboardText();
            }
        }
        if (clipboard_memory_ran_out) out_of_memory(u"无法把导出文本放到剪贴板");
    }

    const std::string file_name = std::filesystem::path(written->path).filename().string();
    if (written->ok()) {
        io.ShowExportDone(directory, file_name);
    } else {
        io.ShowExportFailed(directory, file_name, io.ErrorWords(written->error));
    }
}

}  // namespace lintaro
