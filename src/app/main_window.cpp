// The main window: every control of Lintaro, and the handlers that decide what a user's act does.
#include "app/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QStyle>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "app/control_design.h"
#include "app/count_line_label.h"
#include "app/drop_zone.h"
#include "app/event_wait.h"
#include "app/long_work.h"
#include "app/named_pattern_menu.h"
#include "app/run_notice.h"
#include "app/window_export_io.h"
#include "app/window_layout.h"
#include "app/window_run_io.h"
#include "app/window_table_operations.h"
#include "base/program_text.h"
#include "export/export_format.h"
#include "export/export_selection.h"
#include "match/held_run_output.h"
#include "match/likely_charset.h"
#include "match/match_run.h"
#include "match/named_patterns.h"
#include "match/subject_text.h"
#include "table/link_resolution.h"
#include "table/qt_conversions.h"
#include "table/result_table.h"
#include "table/result_table_model.h"
#include "table/result_table_view.h"
#include "table/table_operations.h"

// Resources of a static library are registered by hand; this must be outside a namespace.
static void InitAppResources() {
    Q_INIT_RESOURCE(lintaro);
}

namespace lintaro {

namespace {

const QColor kPatternBackground(230, 249, 233);  // #E6F9E9
const QColor kSideBarFill(128, 160, 128);        // #80A080
const QColor kRoleLineNormal(0, 128, 0);         // green
const QColor kRoleLineHighlight(255, 255, 0);    // yellow

// The radio buttons and the check box keep the indicator their fixed boxes were drawn for: a
// style scales it with the font's DPI (a large desktop font), and it then covers the caption.
const QString kFixedIndicator =
    QStringLiteral("QRadioButton::indicator, QCheckBox::indicator { width: 13px; height: 13px; }");
constexpr int kFlashMilliseconds = 100;
constexpr int kCharacterHeight = 15;  // pixels, the pattern box's and the role line's font
// Pixels, every other caption's font: the boxes are fixed in pixels, so a larger desktop font
// must not make their captions larger.
constexpr int kCaptionPixelSize = 12;

QRect ToRect(const ControlBox& box) {
    return QRect(box.left, box.top, std::max(box.width, 0), std::max(box.height, 0));
}

// Names control after its member and places it where the design says.
template <typename Control>
Control* Place(Control* control, const char* name, const ControlBox& box) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(ToRect(box));
    return control;
}

QLabel* MakeLabel(const QString& caption, Qt::Alignment alignment, QWidget* parent,
                  const char* name, const ControlBox& box) {
    auto* label = Place(new QLabel(caption, parent), name, box);
    label->setAlignment(alignment);
    return label;
}

// A one-pixel frame in the text colour: the thin single-line frame of the drop zone and of
// the panel behind the format choice.
void SetThinFrame(QFrame* frame) {
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Plain);
    frame->setLineWidth(1);
}

// The window's own colours whatever the desktop's theme: the style's light palette with the
// window colour and black text, which every control inherits.
QPalette WindowPalette(const QStyle& style) {
    QPalette palette = style.standardPalette();
    palette.setColor(QPalette::Window, ToQColor(kWindowColour));
    palette.setColor(QPalette::WindowText, Qt::black);
    return palette;
}

void SetCaptionFont(QWidget* control) {
    QFont font = control->font();
    font.setPixelSize(kCaptionPixelSize);
    control->setFont(font);
}

void SetFill(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    InitAppResources();
    setWindowTitle(QStringLiteral("Lintaro"));
    setWindowIcon(QIcon(QStringLiteral(":/lintaro/lintaro_icon.png")));
    setPalette(WindowPalette(*style()));
    setAutoFillBackground(true);
    // The client area; the window manager adds its frame around it.
    resize(kDesignClientWidth, kDesignClientHeight);
    setMinimumSize(kMinimumClientWidth, kMinimumClientHeight);

    CreateControls();
    run_io_ = std::make_unique<WindowRunIo>(*pattern_edit_, *ignore_case_box_, *drop_zone_,
                                            *count_line_, *table_view_);
    export_io_ = std::make_unique<WindowExportIo>(
        *this, *table_view_, *format_group_, roles_, *drop_zone_,
        [this](WorkProgress& progress, const std::function<void()>& work,
               const std::function<QString(const WorkProgress&)>& describe) {
            RunWhileBlocked(progress, work, describe);
        });
    BindEvents();
    SetTabOrder();
    HandleWindowCreated();
    ApplyLayout(FitWindow(width(), height()));
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
    const ControlDesign& design = kControlDesign;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    // Created in a fixed order, as later siblings draw on top of earlier ones.
    match_button_ =
        Place(new QPushButton(QStringLiteral("匹配"), this), "match_button", design.match_button);
    export_button_ =
        Place(new QPushButton(QStringLiteral("导出"), this), "export_button", design.export_button);

    format_heading_ =
        MakeLabel(QStringLiteral("导出为："), left, this, "format_heading", design.format_heading);

    format_group_ = new QButtonGroup(this);
    format_group_->setExclusive(true);
    // Each button's id is its format, which the export reads.
    for (const ExportFormatInfo& info : kExportFormats) {
        const FormatButtonDesign& button = *FindFormatButtonDesign(info.format);
        const QString caption =
            QString::fromUtf16(info.caption.data(), static_cast<qsizetype>(info.caption.size()));
        auto* const radio = Place(new QRadioButton(caption, this), button.name, button.box);
        radio->setStyleSheet(kFixedIndicator);
        format_group_->addButton(radio, static_cast<int>(info.format));
    }
    FormatButton(kDefaultExportFormat)->setChecked(true);
    KeepTabStopOnCheckedFormat();
    connect(format_group_, &QButtonGroup::buttonToggled, this,
            &MainWindow::KeepTabStopOnCheckedFormat);

    side_bar_ = Place(new QFrame(this), "side_bar", design.side_bar);
    SetFill(side_bar_, QPalette::Window, kSideBarFill);
    side_bar_->setAutoFillBackground(true);
    side_bar_->setVisible(false);

    // Its design caption is replaced by ShowColumnRoles before the window is shown.
    role_line_ =
        MakeLabel(QString(), Qt::AlignLeft | Qt::AlignTop, this, "role_line", design.role_line);
    role_line_->setWordWrap(true);
    QFont role_font = role_line_->font();
    role_font.setPixelSize(kCharacterHeight);
    role_font.setWeight(QFont::Normal);
    role_line_->setFont(role_font);
    SetRoleLineColour(kRoleLineNormal);

    count_line_ = Place(new CountLineLabel(this), "count_line", design.count_line);

    table_model_ = new ResultTableModel(this);
    table_view_ = Place(new ResultTableView(table_model_, this), "result_table", design.table);
    // Tab leaves the table for the next control instead of walking its cells.
    table_view_->setTabKeyNavigation(false);

    drop_heading_ =
        MakeLabel(QStringLiteral("待匹配文本："), right, this, "drop_heading", design.drop_heading);

    ignore_case_box_ = Place(new QCheckBox(QStringLiteral("忽略字母大小写"), this),
                             "ignore_case_box", design.ignore_case_box);
    ignore_case_box_->setStyleSheet(kFixedIndicator);
    ignore_case_box_->setChecked(true);

    pattern_heading_ = MakeLabel(QStringLiteral("正则表达式："), right, this, "pattern_heading",
                                 design.pattern_heading);

    // The caption a run reads as "no file yet" until a file is dropped.
    drop_zone_ =
        Place(new DropZone(QString::fromUtf8(kNoFileCaption),
                           QByteArray::fromStdString(Utf8ToProgramText(kNoFileCaption)), this),
              "drop_zone", design.drop_zone);
    drop_zone_->setAlignment(Qt::AlignCenter);
    SetThinFrame(drop_zone_);
    SetFill(drop_zone_, QPalette::Window, Qt::white);
    SetFill(drop_zone_, QPalette::WindowText, Qt::black);
    drop_zone_->setAutoFillBackground(true);
    // The target waits for HandleWindowCreated, as no drop may arrive before it has run.
    drop_zone_->setAcceptDrops(false);

    pattern_edit_ = Place(new QLineEdit(this), "pattern_edit", design.pattern_edit);
    QFont pattern_font = pattern_edit_->font();
    pattern_font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("WenQuanYi Micro Hei")});
    pattern_font.setPixelSize(kCharacterHeight);
    pattern_font.setWeight(QFont::Normal);
    pattern_font.setItalic(false);
    pattern_font.setUnderline(false);
    pattern_font.setStrikeOut(false);
    pattern_edit_->setFont(pattern_font);
    // One line at the top of the tall box, as a single-line edit box draws it.
    pattern_edit_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A sunken one-pixel edge: dark above and to the left, light below and to the right.
    pattern_edit_->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; color: black; border: 1px solid;"
                       " border-color: #A0A0A0 #FFFFFF #FFFFFF #A0A0A0; padding: 1px 2px; }")
            .arg(kPatternBackground.name()));
    // The selection stays but is not drawn while the window is inactive.
    QPalette pattern_palette = pattern_edit_->palette();
    pattern_palette.setColor(QPalette::Inactive, QPalette::Highlight, kPatternBackground);
    pattern_palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    pattern_edit_->setPalette(pattern_palette);
    // Dragged text must not land here: only the drop zone takes drops.
    pattern_edit_->setAcceptDrops(false);
    // The box has no length limit; Qt's default one cuts a pasted pattern silently.
    pattern_edit_->setMaxLength(std::numeric_limits<int>::max());
    pattern_edit_->setText(QString::fromUtf8(kPresetPattern));
    pattern_edit_->setCursorPosition(0);
    pattern_edit_->deselect();
    pattern_edit_->setFocus();

    format_panel_ = Place(new QFrame(this), "format_panel", design.format_panel);
    SetThinFrame(format_panel_);
    SetFill(format_panel_, QPalette::WindowText, Qt::black);
    // The panel frames the radio buttons from behind.
    format_panel_->lower();
    // In a narrow window the pattern box's and the format strip's neighbours reach under the
    // buttons; the buttons stay on top, so every visible part of them takes its clicks.
    match_button_->raise();
    export_button_->raise();

    for (QWidget* caption : std::initializer_list<QWidget*>{
             match_button_, export_button_, format_heading_, count_line_, drop_heading_,
             ignore_case_box_, pattern_heading_, drop_zone_}) {
        SetCaptionFont(caption);
    }
    for (QAbstractButton* radio : format_group_->buttons()) SetCaptionFont(radio);
}

void MainWindow::KeepTabStopOnCheckedFormat() {
    // Tab enters the format group on its checked button, as Space there changes nothing;
    // arrow keys move inside the group.
    for (QAbstractButton* radio : format_group_->buttons()) {
        const Qt::FocusPolicy policy = radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus;
        radio->setFocusPolicy(policy);
    }
}

QAbstractButton* MainWindow::FormatButton(ExportFormat format) const {
    return format_group_->button(static_cast<int>(format));
}

void MainWindow::BindEvents() {
    connect(match_button_, &QPushButton::clicked, this, &MainWindow::RunMatch);
    // Enter in the pattern box runs the match as the button does; the focus stays there.
    connect(pattern_edit_, &QLineEdit::returnPressed, this, &MainWindow::RunMatch);
    pattern_edit_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pattern_edit_, &QWidget::customContextMenuRequested, this,
            &MainWindow::ShowPatternMenu);
    connect(export_button_, &QPushButton::clicked, this, &MainWindow::ExportSelection);
    // Choosing a format that reads the column roles shows the user which columns those are.
    for (const ExportFormatInfo& info : kExportFormats) {
        if (!info.reads_column_roles) continue;
        connect(FormatButton(info.format), &QAbstractButton::clicked, this,
                &MainWindow::FlashColumnRoles);
    }
    connect(table_view_, &ResultTableView::ColumnOperationChosen, this,
            &MainWindow::OperateOnColumn);
    connect(table_view_, &ResultTableView::FixedCellClicked, this, &MainWindow::ChooseTextColumn);
    connect(table_view_, &ResultTableView::FixedCellDoubleClicked, this,
            &MainWindow::ChooseLinkColumn);
    connect(drop_zone_, &DropZone::FilesDropped, this, &MainWindow::HandleFilesDropped);
    connect(count_line_, &CountLineLabel::CharsetChosen, this, &MainWindow::ReadSubjectAs);
    // Without drag and drop a file is picked by a double click on the zone or Ctrl+O.
    connect(drop_zone_, &DropZone::DoubleClicked, this, &MainWindow::ChooseFile);
    auto* open_shortcut = new QShortcut(QKeySequence::Open, this);
    connect(open_shortcut, &QShortcut::activated, this, &MainWindow::ChooseFile);
}

void MainWindow::SetTabOrder() {
    std::vector<QWidget*> order = {pattern_edit_, ignore_case_box_, match_button_};
    for (const ExportFormatInfo& info : kExportFormats) order.push_back(FormatButton(info.format));
    order.insert(order.end(), {export_button_, table_view_});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void MainWindow::HandleWindowCreated() {
    drop_zone_->setAcceptDrops(true);
    ShowColumnRoles();
    RunMatch();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyLayout(FitWindow(width(), height()));
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Reaches the window only when the focused control leaves Esc alone (an open cell
    // editor takes it for itself); it then closes the window as the close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (running_progress_ == nullptr) {
        QWidget::closeEvent(event);
        return;
    }
    running_progress_->RequestCancel();
    close_after_long_work_ = true;
    event->ignore();
}

void MainWindow::ApplyLayout(const WindowLayout& layout) {
    const ControlDesign& c = layout.controls;
    const std::pair<QWidget*, ControlBox> placed[] = {
        {match_button_, c.match_button},
        {export_button_, c.export_button},
        {format_heading_, c.format_heading},
        {side_bar_, c.side_bar},
        {role_line_, c.role_line},
        {count_line_, c.count_line},
        {table_view_, c.table},
        {drop_heading_, c.drop_heading},
        {ignore_case_box_, c.ignore_case_box},
        {pattern_heading_, c.pattern_heading},
        {drop_zone_, c.drop_zone},
        {pattern_edit_, c.pattern_edit},
        {format_panel_, c.format_panel},
    };
    for (const auto& [control, box] : placed) control->setGeometry(ToRect(box));
    for (std::size_t i = 0; i < layout.format_buttons.size(); ++i) {
        FormatButton(kFormatButtonDesign[i].format)->setGeometry(ToRect(layout.format_buttons[i]));
    }
}

void MainWindow::RunMatch() {
    if (long_work_running_) return;
    WorkProgress progress;
    const MatchRequest request = run_io_->Request();
    HeldRunOutput held;
    MatchReport report;
    std::string offered_charset;
    RunWhileBlocked(
        progress,
        [&] {
            report = lintaro::RunMatch(request, held, &progress);
            if (report.problem == MatchReport::Problem::kTextCutMalformed &&
                request.subject_charset.empty()) {
                offered_charset = LikelyCharsetOfFile(request.subject_path);
            }
        },
        DescribeMatchProgress);
    held.Deliver(*run_io_);
    const QString charset = QString::fromStdString(request.subject_charset);
    count_line_->ShowNotice(DescribeRun(report, drop_zone_->text(), charset),
                            QString::fromStdString(offered_charset));
}

void MainWindow::ShowPatternMenu(const QPoint& position) {
    // The line edit's own menu (undo, cut, copy, paste, ...) with the named patterns below it.
    // Shown without an event loop of its own, so no run ever waits inside the menu's.
    QMenu* menu = pattern_edit_->createStandardContextMenu();
    menu->setParent(pattern_edit_, menu->windowFlags());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AddNamedPatternMenu(*menu, [this](const NamedPattern& named) {
        // Once the click that chose it has been handled: a run waits in an event loop.
        QMetaObject::invokeMethod(
            this, [this, &named] { UseNamedPattern(named); }, Qt::QueuedConnection);
    });
    menu->popup(pattern_edit_->mapToGlobal(position));
}

void MainWindow::UseNamedPattern(const NamedPattern& named) {
    pattern_edit_->setText(QString::fromStdString(named.pattern));
    pattern_edit_->setCursorPosition(0);
    // As the match button would; with no file yet there is nothing to run over.
    if (!drop_zone_->Path().isEmpty()) RunMatch();
}

void MainWindow::OperateOnColumn(ColumnOperation operation, int column) {
    if (long_work_running_ || ColumnProblem(table_model_->Table(), column)) return;
    std::string base;
    if (operation == ColumnOperation::kResolveLinks) {
        const std::shared_ptr<const TextBuffer>& page = table_model_->Table().Source();
        base = FindPageBase(page ? page->View() : std::string_view()).url;
        if (base.empty()) {
            bool given = false;
            const QString answer = QInputDialog::getText(
                this, QStringLiteral("补全相对链接"),
                QStringLiteral("页面没有给出基准地址。相对链接按哪个地址补全？"), QLineEdit::Normal,
                last_base_, &given);
            if (!given) return;
            if (!answer.trimmed().isEmpty()) last_base_ = answer.trimmed();
            base = QStringToProgramText(answer.trimmed());
        }
    }
    // The work changes a copy, so that the table on screen stays whole while it is painted
    // and a cancelled operation leaves it as it was.
    ResultTable changed = table_model_->Table();
    QString notice;
    WorkProgress progress;
    RunWhileBlocked(
        progress, [&] { notice = ApplyColumnOperation(operation, column, changed, base); },
        [](const WorkProgress&) { return QStringLiteral("正在处理表格……"); });
    if (progress.CancelRequested()) return;
    table_model_->ReplaceTable(std::move(changed));
    count_line_->ShowNotice(
        RunNotice{.brief = notice, .detail = notice, .kind = NoticeKind::kInformation});
}

void MainWindow::ReadSubjectAs(const QString& charset) {
    if (long_work_running_) return;
    run_io_->ReadSubjectAs(charset.toStdString());
    RunMatch();
}

void MainWindow::RunWhileBlocked(WorkProgress& progress, const std::function<void()>& work,
                                 const std::function<QString(const WorkProgress&)>& describe) {
    long_work_running_ = true;
    running_progress_ = &progress;
    const auto released = qScopeGuard([this] {
        long_work_running_ = false;
        running_progress_ = nullptr;
        // Closed meanwhile: the handler that ran the work finishes first.
        if (close_after_long_work_) {
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        }
    });
    RunLongWork(this, progress, work, describe);
}

void MainWindow::HandleFilesDropped(const QList<QByteArray>& paths) {
    // A drop can arrive while a run or an export holds the window; it is not taken then.
    if (long_work_running_) return;
    QByteArray drop_text;
    if (paths.size() == 1) {
        drop_text = paths.front();
    } else {
        for (const QByteArray& path : paths) drop_text += path + "\r\n";
    }
    drop_zone_->ShowPath(drop_text);
    run_io_->ReadSubjectAsUtf8();
    RunMatch();
}

void MainWindow::ChooseFile() {
    QFileDialog dialog(this, QStringLiteral("选择要匹配的文件"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("网页文件 (*.html *.htm *.xhtml *.shtml)"),
                           QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")});
    const QFileInfo current(QFile::decodeName(drop_zone_->Path()));
    if (current.isAbsolute()) dialog.setDirectory(current.absolutePath());
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return;
    // The run starts once the dialog is gone, with the threads of its file list: a run begun
    // inside the dialog's accept would hold input back in a loop nested in the dialog's, and
    // fork its search worker while those threads may hold a lock.
    QMetaObject::invokeMethod(
        this, [this, path = QFile::encodeName(chosen.front())] { HandleFilesDropped({path}); },
        Qt::QueuedConnection);
}

void MainWindow::FlashColumnRoles() {
    SetRoleLineColour(kRoleLineHighlight);
    WaitHandlingEvents(kFlashMilliseconds);
    SetRoleLineColour(kRoleLineNormal);
}

void MainWindow::SetRoleLineColour(const QColor& colour) {
    SetFill(role_line_, QPalette::WindowText, colour);
}

void MainWindow::ShowColumnRoles() {
    // The line is built from UTF-8 literals and plain digits.
    role_line_->setText(QString::fromStdString(roles_.Line()));
}

void MainWindow::ChooseTextColumn(int row, int column) {
    roles_.ChooseTextColumn(row, column);
    ShowColumnRoles();
}

void MainWindow::ChooseLinkColumn(int row, int column) {
    roles_.ChooseLinkColumn(row, column);
    ShowColumnRoles();
}

void MainWindow::ExportSelection() {
    if (long_work_running_) return;
    lintaro::ExportSelection(*export_io_);
}

}  // namespace lintaro
