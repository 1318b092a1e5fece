// The main window: every control of Lintaro, its handlers and the inputs of a match run.
#include "app/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShortcut>

#include <algorithm>
#include <utility>

#include "app/drop_zone.h"
#include "app/event_wait.h"
#include "app/long_work.h"
#include "export/export_selection.h"
#include "match/buffered_run_io.h"
#include "base/program_text.h"
#include "table/result_table_model.h"
#include "table/result_table_view.h"

// Resources of a static library are registered by hand; this must be outside a namespace.
static void InitAppResources() {
    Q_INIT_RESOURCE(lintaro);
}

namespace lintaro {

namespace {

const QColor kWindowBackground(219, 236, 249);   // #DBECF9
const QColor kPatternBackground(230, 249, 233);  // #E6F9E9
const QColor kSideBarFill(128, 160, 128);        // #80A080
const QColor kRoleLineNormal(0, 128, 0);         // green
const QColor kRoleLineHighlight(255, 255, 0);    // yellow
const QColor kNoticeColour(208, 0, 0);
constexpr int kFlashMilliseconds = 100;
constexpr int kCharacterHeight = 15;  // pixels, the pattern box's and the role line's font
constexpr int kCountLineWidth = 992;  // as wide as the pattern box, so a notice fits
const QString kDropZoneCaption = QStringLiteral("拖入文件");

QString DescribeMatchProgress(const WorkProgress& progress) {
    const std::int64_t total = progress.Total();
    if (total == 0) return QStringLiteral("正在读取文件……");
    if (progress.Done() >= total) return QStringLiteral("正在生成表格……");
    return QStringLiteral("正在匹配：已搜索 %1%，已找到 %2 处匹配")
        .arg(progress.Done() * 100 / total)
        .arg(progress.Found());
}

QString DescribeExportProgress(const WorkProgress& progress) {
    const std::int64_t total = progress.Total();
    if (total > 0 && progress.Done() >= total) return QStringLiteral("正在写入文件……");
    return QStringLiteral("正在导出：已完成 %1 / %2 行").arg(progress.Done()).arg(total);
}

QString FromProgramText(const std::string& text) {
    return QString::fromStdU16String(ProgramTextToUtf16(text));
}

std::string ToProgramText(const QString& text) {
    return Utf16ToProgramText(text.toStdU16String());
}

QRect ToRect(const ControlBox& box) {
    return QRect(box.left, box.top, std::max(box.width, 0), std::max(box.height, 0));
}

ControlBox ToBox(const QRect& rect) {
    return ControlBox{rect.x(), rect.y(), rect.width(), rect.height()};
}

QLabel* MakeLabel(const QString& caption, Qt::Alignment alignment, const QRect& geometry,
                  QWidget* parent, const char* name) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(alignment);
    label->setGeometry(geometry);
    return label;
}

QRadioButton* MakeRadio(const QString& caption, const QRect& geometry, QWidget* parent,
                        const char* name) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(geometry);
    return radio;
}

// A one-pixel frame in the text colour: the thin single-line frame of the drop zone and of
// the panel behind the format choice.
void SetThinFrame(QFrame* frame) {
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Plain);
    frame->setLineWidth(1);
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
    SetFill(this, QPalette::Window, kWindowBackground);
    setAutoFillBackground(true);
    // The client area; the window manager adds its frame around it.
    resize(1300, 769);

    CreateControls();
    BindEvents();
    SetTabOrder();
    HandleWindowCreated();
    ApplyLayout(LayoutControls(CurrentLayout(), width(), height()));
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
    const ControlLayout design = DesignLayout();
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    // Created in a fixed order, as later siblings draw on top of earlier ones.
    match_button_ = new QPushButton(QStringLiteral("匹配"), this);
    match_button_->setObjectName(QStringLiteral("match_button"));
    match_button_->setGeometry(ToRect(design.match_button));

    export_button_ = new QPushButton(QStringLiteral("导出"), this);
    export_button_->setObjectName(QStringLiteral("export_button"));
    export_button_->setGeometry(ToRect(design.export_button));

    format_heading_ = MakeLabel(QStringLiteral("导出为："), left, QRect(240, 280, 64, 24), this,
                                "format_heading");

    styled_table_radio_ = MakeRadio(QStringLiteral("HTML表格(美化)"), QRect(656, 280, 136, 24),
                                    this, "styled_table_radio");
    table_radio_ =
        MakeRadio(QStringLiteral("HTML表格"), QRect(560, 280, 88, 24), this, "table_radio");
    text_radio_ = MakeRadio(QStringLiteral("文本"), QRect(504, 280, 56, 24), this, "text_radio");
    link_list_radio_ =
        MakeRadio(QStringLiteral("A链接"), QRect(432, 280, 64, 24), this, "link_list_radio");
    styled_links_radio_ = MakeRadio(QStringLiteral("A链接(美化)"), QRect(320, 280, 112, 24), this,
                                    "styled_links_radio");
    format_group_ = new QButtonGroup(this);
    format_group_->setExclusive(true);
    for (QRadioButton* radio :
         {styled_links_radio_, link_list_radio_, text_radio_, table_radio_, styled_table_radio_}) {
        format_group_->addButton(radio);
    }
    text_radio_->setChecked(true);

    side_bar_ = new QFrame(this);
    side_bar_->setObjectName(QStringLiteral("side_bar"));
    side_bar_->setGeometry(ToRect(design.side_bar));
    SetFill(side_bar_, QPalette::Window, kSideBarFill);
    side_bar_->setAutoFillBackground(true);
    side_bar_->setVisible(false);

    // Its design caption is replaced by ShowColumnRoles before the window is shown.
    role_line_ = MakeLabel(QString(), Qt::AlignLeft | Qt::AlignTop, QRect(240, 344, 624, 16), this,
                           "role_line");
    role_line_->setWordWrap(true);
    QFont role_font = role_line_->font();
    role_font.setPixelSize(kCharacterHeight);
    role_font.setWeight(QFont::Normal);
    role_line_->setFont(role_font);
    SetRoleLineColour(kRoleLineNormal);

    count_line_label_ =
        MakeLabel(QString(), left, QRect(240, 248, kCountLineWidth, 24), this, "count_line");
    count_line_label_->setTextFormat(Qt::PlainText);

    table_model_ = new ResultTableModel(this);
    table_view_ = new ResultTableView(table_model_, this);
    table_view_->setObjectName(QStringLiteral("result_table"));
    table_view_->setGeometry(ToRect(design.table));
    // Tab leaves the table for the next control instead of walking its cells.
    table_view_->setTabKeyNavigation(false);

    drop_heading_ = MakeLabel(QStringLiteral("待匹配文本："), right, QRect(128, 200, 104, 40), this,
                              "drop_heading");

    ignore_case_box_ = new QCheckBox(QStringLiteral("忽略字母大小写"), this);
    ignore_case_box_->setObjectName(QStringLiteral("ignore_case_box"));
    ignore_case_box_->setGeometry(240, 152, 136, 24);
    ignore_case_box_->setChecked(true);

    pattern_heading_ = MakeLabel(QStringLiteral("正则表达式："), right, QRect(136, 48, 96, 88),
                                 this, "pattern_heading");

    drop_zone_ = new DropZone(kDropZoneCaption, this);
    drop_zone_->setObjectName(QStringLiteral("drop_zone"));
    drop_zone_->setAlignment(Qt::AlignCenter);
    drop_zone_->setGeometry(ToRect(design.drop_zone));
    SetThinFrame(drop_zone_);
    SetFill(drop_zone_, QPalette::Window, Qt::white);
    SetFill(drop_zone_, QPalette::WindowText, Qt::black);
    drop_zone_->setAutoFillBackground(true);
    // The target waits for HandleWindowCreated, as no drop may arrive before it has run.
    drop_zone_->setAcceptDrops(false);

    pattern_edit_ = new QLineEdit(this);
    pattern_edit_->setObjectName(QStringLiteral("pattern_edit"));
    pattern_edit_->setGeometry(ToRect(design.pattern_edit));
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
        QStringLiteral("QLineEdit { background: #E6F9E9; color: black; border: 1px solid;"
                       " border-color: #A0A0A0 #FFFFFF #FFFFFF #A0A0A0; padding: 1px 2px; }"));
    // The selection stays but is not drawn while the window is inactive.
    QPalette pattern_palette = pattern_edit_->palette();
    pattern_palette.setColor(QPalette::Inactive, QPalette::Highlight, kPatternBackground);
    pattern_palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    pattern_edit_->setPalette(pattern_palette);
    // Dragged text must not land here: only the drop zone takes drops.
    pattern_edit_->setAcceptDrops(false);
    pattern_edit_->setText(QString::fromUtf8(kPresetPattern));
    pattern_edit_->setCursorPosition(0);
    pattern_edit_->deselect();
    pattern_edit_->setFocus();

    format_panel_ = new QFrame(this);
    format_panel_->setObjectName(QStringLiteral("format_panel"));
    format_panel_->setGeometry(310, 276, 490, 34);
    SetThinFrame(format_panel_);
    SetFill(format_panel_, QPalette::WindowText, Qt::black);
    // The panel frames the radio buttons from behind.
    format_panel_->lower();
}

void MainWindow::BindEvents() {
    connect(match_button_, &QPushButton::clicked, this, &MainWindow::RunMatch);
    connect(export_button_, &QPushButton::clicked, this, &MainWindow::ExportSelection);
    connect(styled_links_radio_, &QRadioButton::clicked, this, &MainWindow::FlashColumnRoles);
    connect(link_list_radio_, &QRadioButton::clicked, this, &MainWindow::FlashColumnRoles);
    connect(table_view_, &ResultTableView::FixedCellClicked, this, &MainWindow::ChooseTextColumn);
    connect(table_view_, &ResultTableView::FixedCellDoubleClicked, this,
            &MainWindow::ChooseLinkColumn);
    connect(drop_zone_, &DropZone::FilesDropped, this, &MainWindow::HandleFilesDropped);
    // Without drag and drop a file is picked by a double click on the zone or Ctrl+O.
    connect(drop_zone_, &DropZone::DoubleClicked, this, &MainWindow::ChooseFile);
    auto* open_shortcut = new QShortcut(QKeySequence::Open, this);
    connect(open_shortcut, &QShortcut::activated, this, &MainWindow::ChooseFile);
}

void MainWindow::SetTabOrder() {
    QWidget* const order[] = {
        pattern_edit_, ignore_case_box_, match_button_,       styled_links_radio_, link_list_radio_,
        text_radio_,   table_radio_,     styled_table_radio_, export_button_,      table_view_};
    for (std::size_t i = 1; i < std::size(order); ++i) {
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
    ApplyLayout(LayoutControls(CurrentLayout(), width(), height()));
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

ControlLayout MainWindow::CurrentLayout() const {
    return ControlLayout{
        .table = ToBox(table_view_->geometry()),
        .pattern_edit = ToBox(pattern_edit_->geometry()),
        .drop_zone = ToBox(drop_zone_->geometry()),
        .match_button = ToBox(match_button_->geometry()),
        .export_button = ToBox(export_button_->geometry()),
        .side_bar = ToBox(side_bar_->geometry()),
    };
}

void MainWindow::ApplyLayout(const ControlLayout& layout) {
    table_view_->setGeometry(ToRect(layout.table));
    pattern_edit_->setGeometry(ToRect(layout.pattern_edit));
    drop_zone_->setGeometry(ToRect(layout.drop_zone));
    match_button_->setGeometry(ToRect(layout.match_button));
    export_button_->setGeometry(ToRect(layout.export_button));
    side_bar_->setGeometry(ToRect(layout.side_bar));
}

void MainWindow::RunMatch() {
    if (long_work_running_) return;
    MatchRunIo& front = *this;
    WorkProgress progress;
    BufferedRunIo run(front, progress);
    MatchReport report;
    RunWhileBlocked(progress, [&] { report = lintaro::RunMatch(run); }, DescribeMatchProgress);
    run.Deliver(front);
    ShowRunNotice(DescribeRun(report, drop_zone_->text()));
}

void MainWindow::RunWhileBlocked(WorkProgress& progress, const std::function<void()>& work,
                                 const std::function<QString(const WorkProgress&)>& describe) {
    long_work_running_ = true;
    const auto released = qScopeGuard([this] { long_work_running_ = false; });
    lintaro::RunLongWork(this, progress, work, describe);
}

void MainWindow::HandleFilesDropped(const QStringList& paths) {
    // A drop can arrive while a run or an export holds the window; it is not taken then.
    if (long_work_running_) return;
    QString caption;
    if (paths.size() == 1) {
        caption = paths.front();
    } else {
        for (const QString& path : paths) caption += path + QStringLiteral("\r\n");
    }
    drop_zone_->setText(caption);
    RunMatch();
}

void MainWindow::ChooseFile() {
    QFileDialog dialog(this, QStringLiteral("选择要匹配的文件"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QFileInfo current(drop_zone_->text());
    if (current.isAbsolute()) dialog.setDirectory(current.absolutePath());
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) HandleFilesDropped({chosen.front()});
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
    lintaro::ExportSelection(static_cast<ExportIo&>(*this));
}

void MainWindow::RunLongWork(WorkProgress& progress, const std::function<void()>& work) {
    RunWhileBlocked(progress, work, DescribeExportProgress);
}

void MainWindow::ShowRunNotice(const RunNotice& notice) {
    if (notice.IsEmpty()) {
        count_line_label_->setTextFormat(Qt::PlainText);
        count_line_label_->setText(count_line_);
        count_line_label_->setToolTip(QString());
        return;
    }
    // The notice takes what room the count line leaves and loses its end if it needs more;
    // the tooltip has it whole.
    const QString gap = QStringLiteral("   ");
    const QFontMetrics metrics(count_line_label_->font());
    const int room = count_line_label_->width() - metrics.horizontalAdvance(count_line_ + gap);
    const QString brief = metrics.elidedText(notice.brief, Qt::ElideRight, std::max(room, 0));
    count_line_label_->setTextFormat(Qt::RichText);
    count_line_label_->setText(
        QStringLiteral("%1%2<span style=\"color:%3\">%4</span>")
            .arg(count_line_.toHtmlEscaped(),
                 QString(gap).replace(QLatin1Char(' '), QStringLiteral("&nbsp;")),
                 kNoticeColour.name(), brief.toHtmlEscaped()));
    count_line_label_->setToolTip(notice.detail);
}

std::string MainWindow::Pattern() const {
    return ToProgramText(pattern_edit_->text());
}

bool MainWindow::IgnoreCase() const {
    return ignore_case_box_->isChecked();
}

std::string MainWindow::SubjectPath() const {
    return ToProgramText(drop_zone_->text());
}

void MainWindow::SetCountLine(const std::string& line) {
    // Shown at once, before the table is rebuilt; a notice may follow it afterwards.
    count_line_ = FromProgramText(line);
    count_line_label_->setTextFormat(Qt::PlainText);
    count_line_label_->setText(count_line_);
    count_line_label_->setToolTip(QString());
}

void MainWindow::ReplaceTable(ResultTable&& table) {
    table_model_->ReplaceTable(std::move(table));
}

HeadingWidthFunction MainWindow::HeadingWidth() const {
    return table_view_->HeadingWidth();
}

SelectionRect MainWindow::Selection() const {
    return table_view_->Selection();
}

ExportFormat MainWindow::CheckedFormat() const {
    const std::pair<const QRadioButton*, ExportFormat> formats[] = {
        {styled_links_radio_, ExportFormat::StyledLinkPage},
        {link_list_radio_, ExportFormat::LinkList},
        {text_radio_, ExportFormat::PlainText},
        {table_radio_, ExportFormat::HtmlTable},
        {styled_table_radio_, ExportFormat::StyledTablePage},
    };
    for (const auto& [radio, format] : formats) {
        if (radio->isChecked()) return format;
    }
    return ExportFormat::PlainText;
}

const ResultTable& MainWindow::Table() const {
    return table_model_->Table();
}

ColumnRoles MainWindow::Roles() const {
    return roles_;
}

std::string MainWindow::DropZoneCaption() const {
    return ToProgramText(drop_zone_->text());
}

void MainWindow::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(FromProgramText(text));
}

void MainWindow::ShowMessage(const std::string& text, const std::string& caption, bool is_error) {
    QMessageBox box(is_error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    FromProgramText(caption), FromProgramText(text), QMessageBox::Ok, this);
    box.exec();
}

}  // namespace lintaro
