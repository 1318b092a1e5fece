// The main window: every control of Lintaro, and the handlers that decide what a user's act does.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/window_layout.h"
#include "base/work_progress.h"
#include "export/export_format.h"
#include "table/column_roles.h"
#include "table/result_table_view.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPoint;
class QPushButton;

namespace lintaro {

class CountLineLabel;
struct NamedPattern;
class DropZone;
class ResultTableModel;
class WindowExportIo;
class WindowRunIo;

// The one window. Its controls are the program's state: the pattern box holds the pattern,
// the check box the case option, the drop zone's caption the path of the file to match and
// the checked radio button the export format; handlers read them when they run. Controls
// carry object names after their members, so tests and tools can find them. The match run
// and the export reach the controls through adapters of their own (WindowRunIo,
// WindowExportIo); the window wires the controls and decides when the work may run.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Creates every control, then runs HandleWindowCreated and one layout pass, so the
    // window is complete before it is first shown.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs a match over the file the drop zone names and shows the outcome. A run whose text
    // was cut at a byte that is not UTF-8 offers the file's likely character set.
    void RunMatch();
    // Runs a match over the same file read in charset (the offer's link); a new drop or a run
    // on another file goes back to UTF-8.
    void ReadSubjectAs(const QString& charset);
    // Shows the pattern box's context menu, with the named patterns, at position in the box.
    void ShowPatternMenu(const QPoint& position);
    // Puts the named pattern into the pattern box and runs it when a file is loaded.
    void UseNamedPattern(const NamedPattern& named);
    // Shows the dropped paths (the system's bytes) in the drop zone (one path alone; several
    // each followed by CR LF) and runs a match.
    void HandleFilesDropped(const QList<QByteArray>& paths);
    // Lets the user pick one file, handled as a drop of that file.
    void ChooseFile();
    // Highlights the column-role line for 100 ms while events go on being handled.
    void FlashColumnRoles();
    // Writes the column-role line.
    void ShowColumnRoles();
    // A click on a fixed cell of the table chooses the text column.
    void ChooseTextColumn(int row, int column);
    // A double click on a fixed cell chooses the link column.
    void ChooseLinkColumn(int row, int column);
    // Exports the selected cells in the checked format.
    void ExportSelection();
    // Applies an operation of the column menu to the shown table (table column column) and
    // says what it did after the count line. Resolving asks for a base address when the page
    // names none, offering the last one given.
    void OperateOnColumn(ColumnOperation operation, int column);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // During long work a close cancels the work, and the window closes once it has ended.
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void BindEvents();
    void SetTabOrder();
    // Makes the checked format button the group's one tab stop.
    void KeepTabStopOnCheckedFormat();
    QAbstractButton* FormatButton(ExportFormat format) const;
    // Attaches the drop target, writes the column-role line and runs the first match.
    void HandleWindowCreated();
    void ApplyLayout(const WindowLayout& layout);
    // Runs work through RunLongWork; drops, runs and exports asked for meanwhile are not taken.
    void RunWhileBlocked(WorkProgress& progress, const std::function<void()>& work,
                         const std::function<QString(const WorkProgress&)>& describe);
    void SetRoleLineColour(const QColor& colour);

    QPushButton* match_button_ = nullptr;   // 按钮1
    QPushButton* export_button_ = nullptr;  // 按钮2
    QLabel* format_heading_ = nullptr;      // 标签6
    // The format buttons (单选框1 onwards), each with its format as its id.
    QButtonGroup* format_group_ = nullptr;
    QFrame* side_bar_ = nullptr;            // 图片框1
    QLabel* role_line_ = nullptr;           // 标签5
    CountLineLabel* count_line_ = nullptr;  // 标签4
    ResultTableModel* table_model_ = nullptr;
    ResultTableView* table_view_ = nullptr;  // 高级表格1
    QLabel* drop_heading_ = nullptr;         // 标签3
    QCheckBox* ignore_case_box_ = nullptr;   // 选择框1
    QLabel* pattern_heading_ = nullptr;      // 标签2
    DropZone* drop_zone_ = nullptr;          // 标签1, with the drop target 拖放对象1
    QLineEdit* pattern_edit_ = nullptr;      // 编辑框1
    QFrame* format_panel_ = nullptr;         // 图片框2

    ColumnRoles roles_;
    bool long_work_running_ = false;
    // The progress of the long work under way; null when none is.
    WorkProgress* running_progress_ = nullptr;
    bool close_after_long_work_ = false;
    QString last_base_;  // the base address last given for resolving links
    std::unique_ptr<WindowRunIo> run_io_;
    std::unique_ptr<WindowExportIo> export_io_;
};

}  // namespace lintaro
