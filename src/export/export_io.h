// What an export reads from the window and does on the screen, the clipboard and the disk.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/file_system.h"
#include "base/work_progress.h"
#include "export/date_time_text.h"
#include "export/export_format.h"
#include "table/column_roles.h"
#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// The done message's text: ExportDoneLead ("已导出到目录：") and the directory, the file's name
// on the next line.
std::string ExportDoneText(const std::string& directory, const std::string& file_name);
std::string ExportDoneLead();
// The failure message's text: ExportFailedLead ("无法写入导出文件："), the directory and the
// file's name, and why on the next line.
std::string ExportFailedText(const std::string& directory, const std::string& file_name,
                             const std::string& reason);
std::string ExportFailedLead();
// The captions of the done message ("完成") and of the error messages ("错误").
std::string ExportDoneCaption();
std::string ExportErrorCaption();

// The window implements this; tests implement it with a fake. Texts are program text.
class ExportIo {
  public:
    virtual ~ExportIo() = default;
    // The rectangle that bounds the table's selected cells; all -1 when none is selected.
    virtual SelectionRect Selection() const = 0;
    // The format of the checked radio button.
    virtual ExportFormat CheckedFormat() const = 0;
    virtual const ResultTable& Table() const = 0;
    virtual ColumnRoles Roles() const = 0;
    // The drop zone's caption: the dropped file's path, or its design caption.
    virtual std::string DropZoneCaption() const = 0;
    // The clipboard's next text, given a block of UTF-8 at a time while the export is made
    // (from the long work, see RunLongWork); the blocks end between characters. It is kept in
    // the clipboard's own form as it comes, so that the whole text is never held twice.
    virtual void AddClipboardText(std::string_view utf8) = 0;
    // Replaces the clipboard's content with the text added since the last place or drop.
    virtual void PlaceClipboardText() = 0;
    // Forgets the text added since then; the clipboard keeps its content.
    virtual void DropClipboardText() = 0;
    // A modal message box owned by the main window, with an OK button; is_error adds the
    // error icon.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             bool is_error) = 0;
    // Tells that the export was written as file_name into directory: a message box reading
    // ExportDoneText, captioned "完成".
    virtual void ShowExportDone(const std::string& directory, const std::string& file_name) {
        ShowMessage(ExportDoneText(directory, file_name), ExportDoneCaption(), false);
    }
    // Tells that the export could not be written as file_name into directory, and why (reason,
    // ErrorWords): an error message box reading ExportFailedText, captioned "错误".
    virtual void ShowExportFailed(const std::string& directory, const std::string& file_name,
                                  const std::string& reason) {
        ShowMessage(ExportFailedText(directory, file_name, reason), ExportErrorCaption(), true);
    }
    // Why error happened, in the words the user reads: the system's by default.
    virtual std::string ErrorWords(const std::error_code& error) const { return ErrorText(error); }
    // The current local date and time.
    virtual LocalDateTime Now() const { return CurrentLocalDateTime(); }
    // Runs work, which touches nothing of the window, and returns once work has returned. The
    // window runs it on another thread and meanwhile shows how far progress has come, with a
    // Cancel that asks the work to stop through progress.
    virtual void RunLongWork(WorkProgress& /*progress*/, const std::function<void()>& work) {
        work();
    }
    // Where the export file is written.
    virtual FileSystem& Files() { return SystemFiles(); }
};

}  // namespace lintaro
