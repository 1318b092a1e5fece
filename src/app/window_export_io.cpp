// What an export reads from the window and shows on it: the export's inputs and outputs.
#include "app/window_export_io.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <cstdint>
#include <utility>

#include "app/drop_zone.h"
#include "app/system_error_words.h"
#include "table/qt_conversions.h"
#include "table/result_table_model.h"
#include "table/result_table_view.h"

namespace lintaro {

namespace {

QString DescribeExportProgress(const WorkProgress& progress) {
    const std::int64_t total = progress.Total();
    if (total > 0 && progress.Done() >= total) return QStringLiteral("正在写入文件……");
    return QStringLiteral("正在导出：已完成 %1 / %2 行").arg(progress.Done()).arg(total);
}

// The export's directory as the user knows it. Its bytes are the file system's, where the file
// names and messages are program text: the two differ under a locale whose set is not UTF-8.
QString ShownDirectory(const std::string& directory) {
    return QFile::decodeName(QByteArray::fromStdString(directory));
}

}  // namespace

WindowExportIo::WindowExportIo(QWidget& window, const ResultTableView& table_view,
                               const QButtonGroup& formats, const ColumnRoles& roles,
                               const DropZone& drop_zone, BlockingWorkRunner run_blocked)
    : window_(window),
      table_view_(table_view),
      formats_(formats),
      roles_(roles),
      drop_zone_(drop_zone),
      run_blocked_(std::move(run_blocked)) {}

SelectionRect WindowExportIo::Selection() const {
    return table_view_.Selection();
}

ExportFormat WindowExportIo::CheckedFormat() const {
    const int id = formats_.checkedId();
    return id < 0 ? kDefaultExportFormat : static_cast<ExportFormat>(id);
}

const ResultTable& WindowExportIo::Table() const {
    return table_view_.Model()->Table();
}

ColumnRoles WindowExportIo::Roles() const {
    return roles_;
}

std::string WindowExportIo::DropZoneCaption() const {
    // The path's bytes behind the caption, so that the export lands in the folder the file
    // really is in.
    return drop_zone_.Path().toStdString();
}

void WindowExportIo::AddClipboardText(std::string_view utf8) {
    AppendUtf8(clipboard_text_, utf8);
}

void WindowExportIo::PlaceClipboardText() {
    clipboard_text_.squeeze();  // the room it grew into beyond the text
    QGuiApplication::clipboard()->setText(std::exchange(clipboard_text_, QString()));
}

void WindowExportIo::DropClipboardText() {
    clipboard_text_ = QString();
}

void WindowExportIo::ShowMessage(const std::string& text, const std::string& caption,
                                 bool is_error) {
    QMessageBox box(is_error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    ProgramTextToQString(caption), ProgramTextToQString(text), QMessageBox::Ok,
                    &window_);
    box.exec();
}

void WindowExportIo::ShowExportDone(const std::string& directory, const std::string& file_name) {
    const QString shown_directory = ShownDirectory(directory);
    const QString text = ProgramTextToQString(ExportDoneLead()) + shown_directory +
                         QStringLiteral("\r\n") + ProgramTextToQString(file_name);
    QMessageBox box(QMessageBox::NoIcon, ProgramTextToQString(ExportDoneCaption()), text,
                    QMessageBox::Ok, &window_);
    box.setDefaultButton(QMessageBox::Ok);
    QPushButton* open_folder = box.addButton(QStringLiteral("打开文件夹"), QMessageBox::ActionRole);
    open_folder->setObjectName(QStringLiteral("open_folder_button"));
    // Empty: the current directory.
    const QString folder = directory.empty() ? QDir::currentPath() : shown_directory;
    const QUrl url = QUrl::fromLocalFile(QDir(folder).absolutePath());
    open_folder->setProperty(kFolderUrlProperty, url);
    box.exec();
    if (box.clickedButton() == open_folder) QDesktopServices::openUrl(url);
}

void WindowExportIo::ShowExportFailed(const std::string& directory, const std::string& file_name,
                                      const std::string& reason) {
    const QString text = ProgramTextToQString(ExportFailedLead()) + ShownDirectory(directory) +
                         ProgramTextToQString(file_name) + QStringLiteral("\r\n") +
                         ProgramTextToQString(reason);
    QMessageBox box(QMessageBox::Critical, ProgramTextToQString(ExportErrorCaption()), text,
                    QMessageBox::Ok, &window_);
    box.exec();
}

void WindowExportIo::RunLongWork(WorkProgress& progress, const std::function<void()>& work) {
    run_blocked_(progress, work, DescribeExportProgress);
}

std::string WindowExportIo::ErrorWords(const std::error_code& error) const {
    return QStringToProgramText(SystemErrorWords(error));
}

}  // namespace lintaro
