// What an export reads from the window and shows on it: the export's inputs and outputs.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>

#include "export/export_io.h"

class QButtonGroup;
class QWidget;

namespace lintaro {

class DropZone;
class ResultTableView;

// Runs long work while the window takes no other drop, run or export; describe words how far
// it has come.
using BlockingWorkRunner =
    std::function<void(WorkProgress& progress, const std::function<void()>& work,
                       const std::function<QString(const WorkProgress&)>& describe)>;

// Reads the table's selection, the checked format (the id of its button in formats is an
// ExportFormat), the column roles and the drop zone's path (as DropZoneCaption); puts text on the
// clipboard and message boxes over window. The window, the controls and roles must outlive it.
class WindowExportIo final : public ExportIo {
  public:
    WindowExportIo(QWidget& window, const ResultTableView& table_view, const QButtonGroup& formats,
                   const ColumnRoles& roles, const DropZone& drop_zone,
                   BlockingWorkRunner run_blocked);

    SelectionRect Selection() const override;
    // PlainText while no button is checked.
    ExportFormat CheckedFormat() const override;
    const ResultTable& Table() const override;
    ColumnRoles Roles() const override;
    std::string DropZoneCaption() const override;
    void AddClipboardText(std::string_view utf8) override;
    void PlaceClipboardText() override;
    void DropClipboardText() override;
    void ShowMessage(const std::string& text, const std::string& caption, bool is_error) override;
    // The done message with a second button, "打开文件夹", that opens directory in the
    // desktop's file manager; OK stays the default. The button carries the folder's URL as its
    // property kFolderUrlProperty.
    void ShowExportDone(const std::string& directory, const std::string& file_name) override;
    static constexpr const char* kFolderUrlProperty = "folder_url";
    void ShowExportFailed(const std::string& directory, const std::string& file_name,
                          const std::string& reason) override;
    void RunLongWork(WorkProgress& progress, const std::function<void()>& work) override;
    // The window's Chinese words (SystemErrorWords).
    std::string ErrorWords(const std::error_code& error) const override;

  private:
    QWidget& window_;
    const ResultTableView& table_view_;
    const QButtonGroup& formats_;
    const ColumnRoles& roles_;
    const DropZone& drop_zone_;
    const BlockingWorkRunner run_blocked_;
    QString clipboard_text_;  // the clipboard's next text, as the export makes it
};

}  // namespace lintaro
