// The main window: every control of Lintaro, its handlers and the inputs of a match run.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

#include "app/layout_controls.h"
#include "app/run_notice.h"
#include "export/export_io.h"
#include "match/match_run.h"
#include "table/column_roles.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lintaro {

class DropZone;
class ResultTableModel;
class ResultTableView;

// The one window. Its controls are the program's state: the pattern box holds the pattern,
// the check box the case option, the drop zone's caption the path of the file to match and
// the checked radio button the export format; handlers read them when they run. Controls
// carry object names after their members, so tests and tools can find them.
class MainWindow : public QWidget, private MatchRunIo, private ExportIo {
    Q_OBJECT
  public:
    // Creates every control, then runs HandleWindowCreated and one layout pass, so the
    // window is complete before it is first shown.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs a match over the file the drop zone names and shows the outcome.
    void RunMatch();
    // Shows the dropped paths in the drop zone (one path alone; several each followed by
    // CR LF) and runs a match.
    void HandleFilesDropped(const QStringList& paths);
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

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls();
    void BindEvents();
    void SetTabOrder();
    // Attaches the drop target, writes the column-role line and runs the first match.
    void HandleWindowCreated();
    void ApplyLayout(const ControlLayout& layout);
    ControlLayout CurrentLayout() const;
    void ShowRunNotice(const RunNotice& notice);
    // Runs work through RunLongWork; drops, runs and exports asked for meanwhile are not taken.
    void RunWhileBlocked(WorkProgress& progress, const std::function<void()>& work,
                         const std::function<QString(const WorkProgress&)>& describe);
    void SetRoleLineColour(const QColor& colour);

    // MatchRunIo: the match run's inputs and outputs.
    std::string Pattern() const override;
    bool IgnoreCase() const override;
    std::string SubjectPath() const override;
    void SetCountLine(const std::string& line) override;
    void ReplaceTable(ResultTable&& table) override;
    HeadingWidthFunction HeadingWidth() const override;

    // ExportIo: what the export reads from the window and shows on it.
    SelectionRect Selection() const override;
    ExportFormat CheckedFormat() const override;
    const ResultTable& Table() const override;
    ColumnRoles Roles() const override;
    std::string DropZoneCaption() const override;
    void SetClipboardText(const std::string& text) override;
    void ShowMessage(const std::string& text, const std::string& caption, bool is_error) override;
    void RunLongWork(WorkProgress& progress, const std::function<void()>& work) override;

    QPushButton* match_button_ = nullptr;         // 按钮1
    QPushButton* export_button_ = nullptr;        // 按钮2
    QLabel* format_heading_ = nullptr;            // 标签6
    QRadioButton* styled_table_radio_ = nullptr;  // 单选框5
    QRadioButton* table_radio_ = nullptr;         // 单选框4
    QRadioButton* text_radio_ = nullptr;          // 单选框3
    QRadioButton* link_list_radio_ = nullptr;     // 单选框2
    QRadioButton* styled_links_radio_ = nullptr;  // 单选框1
    QButtonGroup* format_group_ = nullptr;
    QFrame* side_bar_ = nullptr;          // 图片框1
    QLabel* role_line_ = nullptr;         // 标签5
    QLabel* count_line_label_ = nullptr;  // 标签4
    ResultTableModel* table_model_ = nullptr;
    ResultTableView* table_view_ = nullptr;  // 高级表格1
    QLabel* drop_heading_ = nullptr;         // 标签3
    QCheckBox* ignore_case_box_ = nullptr;   // 选择框1
    QLabel* pattern_heading_ = nullptr;      // 标签2
    DropZone* drop_zone_ = nullptr;          // 标签1, with the drop target 拖放对象1
    QLineEdit* pattern_edit_ = nullptr;      // 编辑框1
    QFrame* format_panel_ = nullptr;         // 图片框2

    // The last count line, kept as plain text so a notice can follow it.
    QString count_line_;
    ColumnRoles roles_;
    bool long_work_running_ = false;
};

}  // namespace lintaro
