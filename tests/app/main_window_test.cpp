// Tests of the main window: its controls at start, layout, drops, column roles and notices.
#include "app/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/drop_zone.h"
#include "match/match_run.h"
#include "match/subject_text.h"
#include "table/result_table_view.h"
#include "window_test_support.h"

namespace lintaro {
namespace {

using testing::Find;
using testing::ModalAnswer;
using testing::WriteFile;

// Three anchors the preset pattern finds when case is ignored.
const QByteArray kThreeAnchors =
    R"(<A HREF="https://a.example/x">Alpha</A> <a href="http://b.example/y">Beta</a> )"
    R"(<A HREF="https://c.example/">Gamma</A>)";

QString RoleLine(int link, int text) {
    return QStringLiteral("(双击表头)定义链接：第 %1 列    (单击表头)定义文本：第 %2 列")
        .arg(link)
        .arg(text);
}

QString Caption(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    return {};
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QString WriteSubject(const char* name, const QByteArray& bytes) {
        const QString path = Path(name);
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }

    void ShowActive() {
        window_.show();
        QApplication::setActiveWindow(&window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    ResultTableView* View() const { return Find<ResultTableView>(window_, "result_table"); }
    const ResultTable& Table() const { return View()->Model()->Table(); }
    DropZone* Zone() const { return Find<DropZone>(window_, "drop_zone"); }
    QLabel* RoleLabel() const { return Find<QLabel>(window_, "role_line"); }
    QLabel* CountLabel() const { return Find<QLabel>(window_, "count_line"); }
    QLineEdit* PatternEdit() const { return Find<QLineEdit>(window_, "pattern_edit"); }

    QTemporaryDir dir_;
    MainWindow window_;
};

// ---- start state ----------------------------------------------------------------------

struct ControlCase {
    const char* name;
    const char* caption;
    QRect geometry;  // after the layout for the client size 1300 x 769
    bool shown;
    bool tab_stop;
};

const ControlCase kControls[] = {
    {"match_button", "匹配", {964, 152, 96, 32}, true, true},
    {"export_button", "导出", {964, 277, 96, 32}, true, true},
    {"format_heading", "导出为：", {240, 280, 64, 24}, true, false},
    {"styled_table_radio", "HTML表格(美化)", {656, 280, 136, 24}, true, true},
    {"table_radio", "HTML表格", {560, 280, 88, 24}, true, true},
    {"text_radio", "文本", {504, 280, 56, 24}, true, true},
    {"link_list_radio", "A链接", {432, 280, 64, 24}, true, true},
    {"styled_links_radio", "A链接(美化)", {320, 280, 112, 24}, true, true},
    {"side_bar", "", {120, 0, 2, 769}, false, false},
    {"role_line",
     "(双击表头)定义链接：第 0 列    (单击表头)定义文本：第 0 列",
     {240, 344, 624, 16},
     true,
     false},
    {"count_line", "共找到 0 处匹配结果：", {240, 248, 992, 24}, true, false},
    {"result_table", "", {240, 360, 1060, 352}, true, true},
    {"drop_heading", "待匹配文本：", {128, 200, 104, 40}, true, false},
    {"ignore_case_box", "忽略字母大小写", {240, 152, 136, 24}, true, true},
    {"pattern_heading", "正则表达式：", {136, 48, 96, 88}, true, false},
    {"drop_zone", "拖入文件", {239, 200, 822, 40}, true, false},
    {"pattern_edit", kPresetPattern, {240, 48, 820, 88}, true, true},
    {"format_panel", "", {310, 276, 490, 34}, true, false},
};

TEST_F(MainWindowTest, EveryControlStartsAsDesigned) {
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("Lintaro"));
    EXPECT_EQ(window_.size(), QSize(1300, 769));
    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.name);
        const QWidget* control = Find<QWidget>(window_, c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(Caption(control), QString::fromUtf8(c.caption));
        EXPECT_EQ(control->geometry(), c.geometry);
        EXPECT_EQ(control->isVisibleTo(&window_), c.shown);
        EXPECT_EQ((control->focusPolicy() & Qt::TabFocus) != 0, c.tab_stop);
    }
}

TEST_F(MainWindowTest, InputsStartWithThePresetChoices) {
    QLineEdit* pattern = PatternEdit();
    EXPECT_EQ(pattern->cursorPosition(), 0);
    EXPECT_FALSE(pattern->hasSelectedText());
    EXPECT_EQ(pattern->text().size(), 46);
    EXPECT_TRUE(Find<QCheckBox>(window_, "ignore_case_box")->isChecked());

    const char* radios[] = {"styled_links_radio", "link_list_radio", "text_radio", "table_radio",
                            "styled_table_radio"};
    for (const char* name : radios) {
        EXPECT_EQ(Find<QRadioButton>(window_, name)->isChecked(), std::string(name) == "text_radio")
            << name;
    }
    // Choosing one format clears the others.
    Find<QRadioButton>(window_, "table_radio")->click();
    EXPECT_FALSE(Find<QRadioButton>(window_, "text_radio")->isChecked());
}

TEST_F(MainWindowTest, FirstMatchRunHasBuiltThePresetPatternsEmptyTable) {
    EXPECT_EQ(Table().RowCount(), 1);
    ASSERT_EQ(Table().ColumnCount(), 4);
    const char* headings[] = {"序号", "匹配文本", "子表达式匹配1", "子表达式匹配2"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(Table().GetCell(0, column), headings[column]);
    }
    // No file has been dropped yet, which is no problem to report.
    EXPECT_EQ(CountLabel()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(CountLabel()->toolTip().isEmpty());
}

TEST_F(MainWindowTest, ControlsHaveTheirColoursFramesAndFonts) {
    EXPECT_EQ(window_.palette().color(QPalette::Window), QColor(219, 236, 249));
    EXPECT_TRUE(window_.autoFillBackground());
    EXPECT_EQ(window_.windowIcon().pixmap(64, 64).size(), QSize(64, 64));

    DropZone* zone = Zone();
    EXPECT_EQ(zone->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(zone->frameShape(), QFrame::Box);
    EXPECT_EQ(zone->lineWidth(), 1);
    EXPECT_EQ(zone->alignment(), Qt::AlignCenter);

    const std::pair<const char*, Qt::Alignment> alignments[] = {
        {"pattern_heading", Qt::AlignRight | Qt::AlignVCenter},
        {"drop_heading", Qt::AlignRight | Qt::AlignVCenter},
        {"count_line", Qt::AlignLeft | Qt::AlignVCenter},
        {"format_heading", Qt::AlignLeft | Qt::AlignVCenter},
        {"role_line", Qt::AlignLeft | Qt::AlignTop},
    };
    for (const auto& [name, alignment] : alignments) {
        EXPECT_EQ(Find<QLabel>(window_, name)->alignment(), alignment) << name;
    }
    EXPECT_TRUE(RoleLabel()->wordWrap());
    EXPECT_EQ(RoleLabel()->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(RoleLabel()->font().pixelSize(), 15);

    const QFont pattern_font = PatternEdit()->font();
    EXPECT_EQ(pattern_font.families(),
              QStringList({"Microsoft YaHei", "Noto Sans CJK SC", "WenQuanYi Micro Hei"}));
    EXPECT_EQ(pattern_font.pixelSize(), 15);
    EXPECT_EQ(pattern_font.weight(), QFont::Normal);
    EXPECT_FALSE(pattern_font.italic() || pattern_font.underline() || pattern_font.strikeOut());

    const auto* bar = Find<QFrame>(window_, "side_bar");
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(128, 160, 128));
    const auto* panel = Find<QFrame>(window_, "format_panel");
    EXPECT_EQ(panel->frameShape(), QFrame::Box);
    // The panel lies behind the radio buttons it frames.
    const QObjectList& stack = window_.children();
    for (const QRadioButton* radio : window_.findChildren<QRadioButton*>()) {
        EXPECT_LT(stack.indexOf(panel), stack.indexOf(radio)) << radio->text().toStdString();
    }
}

TEST_F(MainWindowTest, TabWalksTheTabStopsOnly) {
    ShowActive();
    // The pattern box has the focus when the window opens, its caret before the first character.
    EXPECT_EQ(QApplication::focusWidget(), PatternEdit());
    EXPECT_EQ(PatternEdit()->cursorPosition(), 0);
    EXPECT_FALSE(PatternEdit()->hasSelectedText());
    QStringList walked;
    for (int step = 0; step < 20; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.append(QApplication::focusWidget()->objectName());
        if (walked.back() == QStringLiteral("pattern_edit")) break;
    }
    // The format buttons are one group, and so one stop; arrow keys move inside it.
    EXPECT_EQ(walked, QStringList({"ignore_case_box", "match_button", "styled_links_radio",
                                   "export_button", "result_table", "pattern_edit"}));
}

// ---- keyboard -------------------------------------------------------------------------

TEST_F(MainWindowTest, EscInThePatternBoxClosesTheWindow) {
    ShowActive();
    PatternEdit()->setFocus();
    QTest::keyClick(PatternEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(MainWindowTest, EscInAnOpenCellEditorOnlyClosesTheEditor) {
    Zone()->setText(WriteSubject("page.html", kThreeAnchors));
    window_.RunMatch();
    ShowActive();
    ResultTableView* view = View();
    view->setFocus();
    view->edit(view->model()->index(0, 0));
    QPointer<QWidget> editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, view);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(editor.isNull() || !editor->isVisible());
}

// ---- layout ---------------------------------------------------------------------------

TEST_F(MainWindowTest, ControlsFollowTheWindowAndShowNegativeSizesAsZero) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    window_.resize(300, 200);
    QCoreApplication::processEvents();
    ASSERT_EQ(window_.size(), QSize(300, 200));
    EXPECT_EQ(View()->geometry(), QRect(240, 360, 60, 0));
    EXPECT_EQ(PatternEdit()->geometry(), QRect(240, 48, 0, 88));
    EXPECT_EQ(Zone()->geometry(), QRect(239, 200, 0, 40));
    EXPECT_EQ(Find<QPushButton>(window_, "match_button")->geometry(), QRect(-36, 152, 96, 32));
    EXPECT_EQ(Find<QPushButton>(window_, "export_button")->geometry(), QRect(-36, 277, 96, 32));
    const auto* bar = Find<QFrame>(window_, "side_bar");
    EXPECT_EQ(bar->height(), 200);
    EXPECT_FALSE(bar->isVisible());

    window_.resize(1300, 769);
    QCoreApplication::processEvents();
    EXPECT_EQ(View()->geometry(), QRect(240, 360, 1060, 352));
    EXPECT_EQ(PatternEdit()->geometry(), QRect(240, 48, 820, 88));
    EXPECT_EQ(Zone()->geometry(), QRect(239, 200, 822, 40));
}

// ---- file drop ------------------------------------------------------------------------

struct DropOutcome {
    bool enter_accepted;
    bool drop_accepted;
};

// Drags data over the drop zone and lets go of it there.
DropOutcome DragAndDrop(QWidget* zone, const QMimeData& data) {
    const QPoint centre = zone->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(zone, &enter);
    QDropEvent drop(QPointF(centre), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(zone, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

struct DropCase {
    const char* name;
    std::vector<const char*> files;  // in the temporary folder; "" is the folder itself
    const char* caption;             // with {dir} for the temporary folder
    int row_count;
};

class FileDropTest : public MainWindowTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(FileDropTest, ShowsTheDropTextAndMatchesIt) {
    const DropCase& c = GetParam();
    WriteSubject("a.html", kThreeAnchors);
    WriteSubject("b.html", kThreeAnchors);
    WriteSubject("c.html", kThreeAnchors);
    QList<QUrl> urls;
    for (const char* file : c.files) urls.append(QUrl::fromLocalFile(Path(file)));
    QMimeData data;
    data.setUrls(urls);

    const DropOutcome outcome = DragAndDrop(Zone(), data);
    EXPECT_TRUE(outcome.enter_accepted);
    EXPECT_TRUE(outcome.drop_accepted);
    const QString dir = QDir::cleanPath(dir_.path());
    EXPECT_EQ(Zone()->text(), QString::fromUtf8(c.caption).replace(QStringLiteral("{dir}"), dir));
    EXPECT_EQ(Table().RowCount(), c.row_count);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, FileDropTest,
    ::testing::Values(DropCase{"OneFile", {"a.html"}, "{dir}/a.html", 4},
                      // Several paths are no readable path: the table stays empty.
                      DropCase{"ThreeFiles",
                               {"a.html", "b.html", "c.html"},
                               "{dir}/a.html\r\n{dir}/b.html\r\n{dir}/c.html\r\n",
                               1},
                      DropCase{"AFolder", {""}, "{dir}", 1}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct RefusedDragCase {
    const char* name;
    void (*fill)(QMimeData& data, const QString& file);
};

class RefusedDragTest : public MainWindowTest,
                        public ::testing::WithParamInterface<RefusedDragCase> {};

TEST_P(RefusedDragTest, LeavesTheDropZoneAlone) {
    QMimeData data;
    GetParam().fill(data, WriteSubject("a.html", kThreeAnchors));
    const DropOutcome outcome = DragAndDrop(Zone(), data);
    EXPECT_FALSE(outcome.enter_accepted);
    EXPECT_FALSE(outcome.drop_accepted);
    EXPECT_EQ(Zone()->text(), QString::fromUtf8(kNoFileCaption));
}

INSTANTIATE_TEST_SUITE_P(
    Drags, RefusedDragTest,
    ::testing::Values(
        RefusedDragCase{"Text", [](QMimeData& data, const QString& file) { data.setText(file); }},
        RefusedDragCase{"WebLink",
                        [](QMimeData& data, const QString&) {
                            data.setUrls({QUrl(QStringLiteral("https://example.com/a.html"))});
                        }},
        RefusedDragCase{"Html",
                        [](QMimeData& data, const QString&) {
                            data.setHtml(QStringLiteral("<a href=\"x\">x</a>"));
                        }},
        RefusedDragCase{"FileWithWebLink",
                        [](QMimeData& data, const QString& file) {
                            data.setUrls({QUrl::fromLocalFile(file),
                                          QUrl(QStringLiteral("https://example.com/"))});
                        }}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(MainWindowTest, OnlyTheDropZoneTakesDrops) {
    EXPECT_FALSE(window_.acceptDrops());
    for (const QWidget* control : window_.findChildren<QWidget*>()) {
        EXPECT_EQ(control->acceptDrops(), control == Zone())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, EveryRunReadsTheFileAgain) {
    const QString path = WriteSubject("page.html", kThreeAnchors);
    window_.HandleFilesDropped({path});
    EXPECT_EQ(Table().RowCount(), 4);
    ASSERT_TRUE(WriteFile(path, R"(<a href="https://d.example/">Delta</a>)"));
    Find<QPushButton>(window_, "match_button")->click();
    EXPECT_EQ(Table().RowCount(), 2);
    EXPECT_EQ(CountLabel()->text(), QStringLiteral("共找到 1 处匹配结果："));
}

// ---- file chooser ---------------------------------------------------------------------

struct ChooserCase {
    const char* name;
    void (*open)(QWidget& window, QWidget& zone);
};

class FileChooserTest : public MainWindowTest, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(FileChooserTest, ChosenFileIsHandledAsADrop) {
    const QString path = WriteSubject("page.html", kThreeAnchors);
    ShowActive();
    {
        const ModalAnswer choose([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->parentWidget(), &window_);
            // Types the path into the name box as a user would; selectFile leaves that box
            // alone while it has the focus.
            auto* name_box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name_box, nullptr);
            name_box->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        GetParam().open(window_, *Zone());
        EXPECT_TRUE(choose.Answered());
    }
    EXPECT_EQ(Zone()->text(), path);
    EXPECT_EQ(Table().RowCount(), 4);

    // Cancelling changes nothing.
    ShowActive();
    const ModalAnswer cancel([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    GetParam().open(window_, *Zone());
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(Zone()->text(), path);
}

INSTANTIATE_TEST_SUITE_P(Openers, FileChooserTest,
                         ::testing::Values(ChooserCase{"CtrlO",
                                                       [](QWidget& window, QWidget&) {
                                                           QTest::keyClick(&window, Qt::Key_O,
                                                                           Qt::ControlModifier);
                                                       }},
                                           ChooserCase{
                                               "DoubleClickOnTheDropZone",
                                               [](QWidget&, QWidget& zone) {
                                                   QTest::mouseClick(&zone, Qt::LeftButton);
                                                   QTest::mouseDClick(&zone, Qt::LeftButton);
                                                   QTest::mouseRelease(&zone, Qt::LeftButton);
                                               }}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

// ---- column-role highlight ------------------------------------------------------------

TEST_F(MainWindowTest, FlashNestsAndEndsGreen) {
    const QColor yellow(255, 255, 0);
    const QColor green(0, 128, 0);
    auto colour = [this] { return RoleLabel()->palette().color(QPalette::WindowText); };
    auto* outer_radio = Find<QRadioButton>(window_, "styled_links_radio");
    auto* inner_radio = Find<QRadioButton>(window_, "link_list_radio");

    // While the first highlight waits, a click on the other link format highlights again.
    QColor during_outer;
    QColor after_inner;
    bool inner_ran = false;
    QTimer::singleShot(10, [&] {
        during_outer = colour();
        inner_radio->click();
        inner_ran = true;
        after_inner = colour();
    });
    QElapsedTimer clock;
    clock.start();
    outer_radio->click();

    EXPECT_TRUE(inner_ran);
    EXPECT_EQ(during_outer, yellow);
    EXPECT_EQ(after_inner, green);
    EXPECT_EQ(colour(), green);
    EXPECT_GT(clock.elapsed(), 100);
}

TEST_F(MainWindowTest, ClickingTheCheckedLinkFormatStillHighlights) {
    auto* radio = Find<QRadioButton>(window_, "link_list_radio");
    radio->click();
    QColor during;
    QTimer::singleShot(10, [&] { during = RoleLabel()->palette().color(QPalette::WindowText); });
    radio->click();
    EXPECT_EQ(during, QColor(255, 255, 0));
}

// ---- column roles ---------------------------------------------------------------------

enum class Gesture { kClick, kDoubleClick, kPressMoveRelease };

struct Step {
    Gesture gesture;
    int row;  // table indexes: row 0 is the header row, column 0 the number column
    int column;
};

struct RoleCase {
    const char* name;
    std::vector<Step> steps;
    int link;
    int text;
};

class ColumnRoleTest : public MainWindowTest, public ::testing::WithParamInterface<RoleCase> {
  protected:
    // Where the cell (row, column) is drawn, in the view's coordinates.
    QPoint CellPoint(int row, int column) const {
        ResultTableView* view = View();
        QHeaderView* top = view->horizontalHeader();
        QHeaderView* side = view->verticalHeader();
        const int x = column == 0
                          ? side->mapTo(view, QPoint(side->width() / 2, 0)).x()
                          : top->viewport()
                                ->mapTo(view, QPoint(top->sectionViewportPosition(column - 1) +
                                                         top->sectionSize(column - 1) / 2,
                                                     0))
                                .x();
        const int y = row == 0
                          ? top->mapTo(view, QPoint(0, top->height() / 2)).y()
                          : side->viewport()
                                ->mapTo(view, QPoint(0, side->sectionViewportPosition(row - 1) +
                                                            side->sectionSize(row - 1) / 2))
                                .y();
        return QPoint(x, y);
    }

    void Perform(const Step& step) {
        ResultTableView* view = View();
        const QPoint at = CellPoint(step.row, step.column);
        QWidget* target = view->childAt(at);
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(view, at);
        switch (step.gesture) {
            case Gesture::kClick:
                QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
                break;
            case Gesture::kDoubleClick:
                // What a widget receives: press, release, double click, release.
                QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
                QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
                QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local);
                break;
            case Gesture::kPressMoveRelease: {
                // Ends one column further right, in the pressed widget's coordinates.
                const QPoint end =
                    target->mapFrom(view, CellPoint(step.row, step.column + 1)) + QPoint(0, 1);
                QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, local);
                QTest::mouseMove(target, end);
                QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, end);
                break;
            }
        }
    }
};

TEST_P(ColumnRoleTest, LeavesTheRoleLine) {
    window_.HandleFilesDropped({WriteSubject("page.html", kThreeAnchors)});
    ASSERT_EQ(Table().ColumnCount(), 4);
    ShowActive();
    for (const Step& step : GetParam().steps) Perform(step);
    EXPECT_EQ(RoleLabel()->text(), RoleLine(GetParam().link, GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, ColumnRoleTest,
    ::testing::Values(
        RoleCase{"HeaderClick", {{Gesture::kClick, 0, 2}}, 0, 2},
        RoleCase{"HeaderDoubleClick", {{Gesture::kDoubleClick, 0, 3}}, 3, 3},
        RoleCase{
            "DoubleClickThenClick", {{Gesture::kDoubleClick, 0, 1}, {Gesture::kClick, 0, 2}}, 1, 2},
        RoleCase{"NumberCellClick", {{Gesture::kDoubleClick, 0, 2}, {Gesture::kClick, 2, 0}}, 2, 0},
        RoleCase{"CornerClick", {{Gesture::kDoubleClick, 0, 3}, {Gesture::kClick, 0, 0}}, 3, 0},
        RoleCase{"DataCellClick", {{Gesture::kClick, 0, 2}, {Gesture::kClick, 1, 1}}, 0, 2},
        RoleCase{"HeaderPressMoveRelease",
                 {{Gesture::kClick, 0, 2}, {Gesture::kPressMoveRelease, 0, 1}},
                 0,
                 2}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(MainWindowTest, RolesOutliveARunWithFewerColumns) {
    window_.ChooseTextColumn(0, 12);
    window_.ChooseLinkColumn(0, 4);
    PatternEdit()->setText(QStringLiteral("a"));
    window_.RunMatch();
    EXPECT_EQ(Table().ColumnCount(), 2);
    EXPECT_EQ(RoleLabel()->text(), RoleLine(4, 12));
}

// ---- failure notices ------------------------------------------------------------------

struct NoticeCase {
    const char* name;
    const char* pattern;
    const char* file;  // nullptr: drop a file that does not exist
    int file_size;
    const char* brief_start;
};

class RunNoticeWindowTest : public MainWindowTest,
                            public ::testing::WithParamInterface<NoticeCase> {};

TEST_P(RunNoticeWindowTest, FollowsTheCountLineInRedUntilACleanRun) {
    const NoticeCase& c = GetParam();
    const QString path = c.file == nullptr
                             ? Path("missing.html")
                             : WriteSubject("page.html", QByteArray(c.file, c.file_size));
    PatternEdit()->setText(QString::fromUtf8(c.pattern));
    window_.HandleFilesDropped({path});

    QLabel* label = CountLabel();
    EXPECT_EQ(label->textFormat(), Qt::RichText);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("共找到 ")));
    EXPECT_TRUE(label->text().contains(QStringLiteral("<span style=\"color:#d00000\">") +
                                       QString::fromUtf8(c.brief_start)))
        << label->text().toStdString();
    EXPECT_FALSE(label->toolTip().isEmpty());

    ASSERT_TRUE(WriteFile(path, kThreeAnchors));
    PatternEdit()->setText(QString::fromUtf8(kPresetPattern));
    window_.RunMatch();
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), QStringLiteral("共找到 3 处匹配结果："));
    EXPECT_TRUE(label->toolTip().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Problems, RunNoticeWindowTest,
    ::testing::Values(NoticeCase{"PatternInvalid", "(<a", "<a", 2, "正则表达式无法编译："},
                      NoticeCase{"FileUnreadable", "a", nullptr, 0, "无法读取文件："},
                      NoticeCase{"CutAtMalformedByte", "a",
                                 "ab\xFF"
                                 "cd",
                                 5, "文本在字节偏移 2 处截断：不是有效的 UTF-8"},
                      NoticeCase{"CutAtNul", "a", "ab\0cd", 5,
                                 "文本在字节偏移 2 处截断：遇到 NUL 字节"},
                      NoticeCase{"EngineGaveUp", "(a+)+$", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", 34,
                                 "匹配引擎在 0 处匹配后放弃"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

// ---- cancel ---------------------------------------------------------------------------

// After two matches, 300 alternatives in front of (a+)+$ keep the engine inside one call over
// 40 "a" and a "b" for hours: only ending the worker process stops it.
TEST_F(MainWindowTest, CancelInsideAnEngineCallGivesTheWindowBackWithTheNotice) {
    const QString path = WriteSubject("trap.txt", "x x " + QByteArray(40, 'a') + "b");
    QString padding = QStringLiteral("z0");
    for (int i = 1; i < 300; ++i) padding += QStringLiteral("|z%1").arg(i);
    ShowActive();
    PatternEdit()->setText(QStringLiteral("x|(?:%1)?(a+)+$").arg(padding));
    QElapsedTimer clock;
    const ModalAnswer answer([&](QWidget* modal) {
        QTest::qWait(300);
        Find<QPushButton>(*modal, "cancel_button")->click();
        clock.start();
    });
    window_.HandleFilesDropped({path});
    // Generous: it must have ended, not waited for the engine.
    EXPECT_TRUE(answer.Answered());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(
        CountLabel()->text().contains(QStringLiteral("已取消：列出了取消前找到的 2 处匹配")))
        << CountLabel()->text().toStdString();
    EXPECT_EQ(Table().RowCount(), 3);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // no worker left, running or unreaped
    EXPECT_EQ(errno, ECHILD);

    // The next run starts clean.
    ASSERT_TRUE(WriteFile(path, kThreeAnchors));
    PatternEdit()->setText(QString::fromUtf8(kPresetPattern));
    window_.RunMatch();
    EXPECT_EQ(CountLabel()->text(), QStringLiteral("共找到 3 处匹配结果："));
}

// ---- export button --------------------------------------------------------------------

struct MessageSeen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
};

// Notes what the next message box shows and closes it.
ModalAnswer NoteNextMessage(MessageSeen& seen) {
    return ModalAnswer([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget()};
        box->accept();
    });
}

TEST_F(MainWindowTest, ExportWithNothingSelectedShowsTheError) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    MessageSeen seen;
    const ModalAnswer answer = NoteNextMessage(seen);
    Find<QPushButton>(window_, "export_button")->click();
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(seen.caption, QStringLiteral("错误"));
    EXPECT_EQ(seen.text, QStringLiteral("没有要导出的数据，\r\n请先在表格中选择"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.owner, &window_);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(MainWindowTest, ExportOfTheSelectionFillsClipboardAndFolder) {
    window_.HandleFilesDropped({WriteSubject("page.html", kThreeAnchors)});
    ResultTableView* view = View();
    view->selectionModel()->select(
        QItemSelection(view->model()->index(0, 1), view->model()->index(1, 2)),
        QItemSelectionModel::Select);
    MessageSeen seen;
    const ModalAnswer answer = NoteNextMessage(seen);
    Find<QPushButton>(window_, "export_button")->click();
    EXPECT_TRUE(answer.Answered());

    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("https://a.example    Alpha    \r\nhttp://b.example    Beta    \r\n"));
    EXPECT_EQ(seen.caption, QStringLiteral("完成"));
    EXPECT_EQ(seen.text, QStringLiteral("已导出到目录：") + QDir::cleanPath(dir_.path()) + "/");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.owner, &window_);
    EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("文本*.txt")}, QDir::Files).size(), 1);
}

}  // namespace
}  // namespace lintaro
