// Tests of the main window: its controls at start, layout, drops, column roles and notices.
#include "app/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/drop_zone.h"
#include "app/qt_translation.h"
#include "base/charset.h"
#include "match/match_run.h"
#include "match/named_patterns.h"
#include "match/subject_text.h"
#include "support/endless_search.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "table/result_table_view.h"
#include "window_test_support.h"

namespace lintaro {
namespace {

using testing::EndlessSearchPattern;
using testing::EndlessSearchText;
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

    // Drops one file, named as the system names it.
    void Drop(const QString& path) { window_.HandleFilesDropped({QFile::encodeName(path)}); }

    void ShowActive() {
        window_.show();
        QApplication::setActiveWindow(&window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    ResultTableView* View() const { return Find<ResultTableView>(window_, "result_table"); }
    // Selects the view's cells from (first_row, first_column) to (last_row, last_column).
    void SelectBlock(int first_row, int first_column, int last_row, int last_column) {
        const QAbstractItemModel* model = View()->model();
        View()->selectionModel()->select(QItemSelection(model->index(first_row, first_column),
                                                        model->index(last_row, last_column)),
                                         QItemSelectionModel::Select);
    }
    const ResultTable& Table() const { return View()->Model()->Table(); }
    DropZone* Zone() const { return Find<DropZone>(window_, "drop_zone"); }
    QLabel* RoleLabel() const { return Find<QLabel>(window_, "role_line"); }
    QLabel* CountLabel() const { return Find<QLabel>(window_, "count_line"); }
    QLineEdit* PatternEdit() const { return Find<QLineEdit>(window_, "pattern_edit"); }

    // What the pattern box's context menu showed: how many of the line edit's own actions
    // (undo, cut, paste, ...) it held, and the entries of its submenu "常用表达式".
    struct SeenMenu {
        int edit_actions = 0;
        QStringList entries;
    };
    // Opens the pattern box's context menu as a right click does and chooses the named
    // pattern called name in its submenu; returns once the menu has closed.
    SeenMenu ChooseNamedPattern(const QString& name) {
        SeenMenu seen;
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, PatternEdit()->mapToGlobal(at));
        QApplication::sendEvent(PatternEdit(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            ADD_FAILURE() << "the pattern box shows no context menu";
            return seen;
        }
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->menu() == nullptr) ++seen.edit_actions;
            if (action->menu() == nullptr || action->text() != QStringLiteral("常用表达式")) {
                continue;
            }
            for (QAction* entry : action->menu()->actions()) {
                seen.entries << entry->text();
                if (entry->text().startsWith(name + "  ")) entry->trigger();
            }
        }
        menu->close();
        return seen;
    }

    QTemporaryDir dir_;
    MainWindow window_;
};

// ---- start state ----------------------------------------------------------------------

struct ControlCase {
    const char* name;
    const char* caption;
    QRect geometry;  // after the layout for the client size 1300 x 769
    bool shown;
    bool tab_stop;  // of the format buttons only the checked one
};

const ControlCase kControls[] = {
    {"match_button", "匹配", {964, 152, 96, 32}, true, true},
    {"export_button", "导出", {964, 277, 96, 32}, true, true},
    {"format_heading", "导出为：", {240, 280, 64, 24}, true, false},
    {"styled_table_radio", "HTML表格(美化)", {656, 280, 136, 24}, true, false},
    {"table_radio", "HTML表格", {560, 280, 88, 24}, true, false},
    {"text_radio", "文本", {504, 280, 56, 24}, true, true},
    {"link_list_radio", "A链接", {432, 280, 64, 24}, true, false},
    {"styled_links_radio", "A链接(美化)", {320, 280, 112, 24}, true, false},
    {"side_bar", "", {120, 0, 2, 769}, false, false},
    {"role_line",
     "(双击表头)定义链接：第 0 列    (单击表头)定义文本：第 0 列",
     {240, 344, 624, 16},
     true,
     false},
    {"count_line", "共找到 0 处匹配结果：", {240, 248, 820, 24}, true, false},
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
    // The format buttons are one group, and so one stop, on the checked button (where Space
    // changes nothing); arrow keys move inside it.
    EXPECT_EQ(walked, QStringList({"ignore_case_box", "match_button", "text_radio", "export_button",
                                   "result_table", "pattern_edit"}));

    Find<QRadioButton>(window_, "table_radio")->click();
    Find<QPushButton>(window_, "match_button")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("table_radio"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_TRUE(Find<QRadioButton>(window_, "text_radio")->isChecked());
    Find<QPushButton>(window_, "match_button")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("text_radio"));
}

TEST_F(MainWindowTest, EnterInThePatternBoxRunsTheMatchAndKeepsTheFocus) {
    const QString path = WriteSubject("page.html", kThreeAnchors);
    Drop(path);
    ASSERT_TRUE(WriteFile(path, R"(<a href="https://d.example/">Delta</a>)"));
    ShowActive();
    PatternEdit()->setFocus();
    QTest::keyClick(PatternEdit(), Qt::Key_Return);
    EXPECT_EQ(Table().RowCount(), 2);
    EXPECT_EQ(QApplication::focusWidget(), PatternEdit());
    EXPECT_TRUE(window_.isVisible());
}

// The pattern box's context menu keeps the line edit's actions and offers the named patterns,
// the preset first; an entry puts its pattern into the box and runs it when a file is loaded.
TEST_F(MainWindowTest, NamedPatternMenuPutsThePatternAndRunsIt) {
    ShowActive();
    const QString links = QString::fromStdString(FindNamedPattern("links")->pattern);
    const SeenMenu seen = ChooseNamedPattern("links");
    EXPECT_GE(seen.edit_actions, 5);
    ASSERT_EQ(seen.entries.size(), static_cast<int>(NamedPatterns().size()));
    EXPECT_TRUE(seen.entries[0].startsWith(QStringLiteral("default  ")));
    QTRY_COMPARE(PatternEdit()->text(), links);
    EXPECT_EQ(Table().RowCount(), 1);  // no file: no run, only the header row

    Drop(WriteSubject("page.html", R"(<A HREF="https://a.example/x">A</A> <a id=b href=/b>B</a>)"));
    EXPECT_EQ(Table().RowCount(), 3);  // links runs on the drop: the header and both anchors
    ChooseNamedPattern("default");
    QTRY_COMPARE(PatternEdit()->text(), QString::fromUtf8(kPresetPattern));
    QTRY_COMPARE(Table().RowCount(), 2);  // the preset finds only the first
    ChooseNamedPattern("links");
    QTRY_COMPARE(Table().RowCount(), 3);
    EXPECT_EQ(Table().GetCell(2, 2), "/b");
}

TEST_F(MainWindowTest, ThePatternBoxHasNoLengthLimit) {
    // A pattern past Qt's default limit of 32767 characters that finds the file's one match
    // only when it is whole.
    const QString tail =
        QStringLiteral("|") + QString(40000, QLatin1Char('z')) + QStringLiteral("|needle");
    Drop(WriteSubject("page.txt", "a needle"));
    PatternEdit()->setText(QStringLiteral("qqq") + tail);
    EXPECT_EQ(PatternEdit()->text().size(), 3 + tail.size());
    window_.RunMatch();
    EXPECT_EQ(Table().RowCount(), 2);
}

// ---- keyboard -------------------------------------------------------------------------

TEST_F(MainWindowTest, EscInThePatternBoxClosesTheWindow) {
    ShowActive();
    PatternEdit()->setFocus();
    QTest::keyClick(PatternEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(MainWindowTest, EscInAnOpenCellEditorOnlyClosesTheEditor) {
    Drop(WriteSubject("page.html", kThreeAnchors));
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

TEST_F(MainWindowTest, ControlsFollowTheWindowDownToItsMinimumSize) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    // Below 760 x 424 some control would no longer be whole; the controls have moved 120
    // pixels left and the export button is below the format strip.
    window_.resize(300, 200);
    QCoreApplication::processEvents();
    ASSERT_EQ(window_.size(), QSize(760, 424));
    EXPECT_EQ(View()->geometry(), QRect(120, 360, 640, 32));
    EXPECT_EQ(PatternEdit()->geometry(), QRect(120, 48, 520, 88));
    EXPECT_EQ(CountLabel()->geometry(), QRect(120, 248, 520, 24));
    EXPECT_EQ(Zone()->geometry(), QRect(119, 200, 522, 40));
    EXPECT_EQ(Find<QPushButton>(window_, "match_button")->geometry(), QRect(544, 152, 96, 32));
    EXPECT_EQ(Find<QPushButton>(window_, "export_button")->geometry(), QRect(544, 311, 96, 32));
    EXPECT_EQ(Find<QWidget>(window_, "format_panel")->geometry(), QRect(190, 276, 490, 34));
    const auto* bar = Find<QFrame>(window_, "side_bar");
    EXPECT_EQ(bar->height(), 424);
    EXPECT_FALSE(bar->isVisible());

    window_.resize(1300, 769);
    QCoreApplication::processEvents();
    EXPECT_EQ(View()->geometry(), QRect(240, 360, 1060, 352));
    EXPECT_EQ(PatternEdit()->geometry(), QRect(240, 48, 820, 88));
    EXPECT_EQ(Zone()->geometry(), QRect(239, 200, 822, 40));
    EXPECT_EQ(Find<QPushButton>(window_, "export_button")->geometry(), QRect(964, 277, 96, 32));
}

// Every control of the window is whole inside it and apart from the others at every width,
// with a caption that fits, and each point of it takes the control's own clicks.
TEST_F(MainWindowTest, EveryControlIsWholeAndClickableAtEveryWidth) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    for (const QSize size : {QSize(760, 424), QSize(800, 577), QSize(958, 517), QSize(1022, 745),
                             QSize(1135, 769), QSize(1278, 697)}) {
        window_.resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(window_.size(), size);
        for (QWidget* control : window_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible() || control->objectName() == "format_panel") continue;
            const std::string name = control->objectName().toStdString();
            EXPECT_TRUE(window_.rect().contains(control->geometry()))
                << name << " at " << size.width();
            if (qobject_cast<QAbstractButton*>(control) != nullptr) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << name;
            }
            const QRect inner = control->geometry().adjusted(2, 2, -2, -2);
            for (const QPoint point : {inner.topLeft(), inner.topRight(), inner.center(),
                                       inner.bottomLeft(), inner.bottomRight()}) {
                QWidget* hit = window_.childAt(point);
                EXPECT_TRUE(hit == control || control->isAncestorOf(hit))
                    << name << " at " << point.x() << "," << point.y() << " in a window "
                    << size.width() << " wide";
            }
        }
    }
}

// In a narrow window other controls reach under the buttons; every visible point of a button
// must still be the button's.
TEST_F(MainWindowTest, NoControlCoversAButtonAtAnyWidth) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    for (const int width : {760, 800, 1000, 1135, 1300}) {
        window_.resize(width, 769);
        QCoreApplication::processEvents();
        for (const char* name : {"match_button", "export_button"}) {
            const auto* button = Find<QPushButton>(window_, name);
            const QRect visible = button->geometry() & window_.rect();
            for (int x = visible.left(); x <= visible.right(); x += 4) {
                for (int y = visible.top(); y <= visible.bottom(); y += 4) {
                    ASSERT_EQ(window_.childAt(x, y), button)
                        << name << " at " << x << "," << y << " in a window " << width << " wide";
                }
            }
        }
    }
}

// The count line keeps equal margins like the pattern box, and its notice is cut with "…"
// again whenever its width changes.
TEST_F(MainWindowTest, TheNoticeIsCutAgainWhenTheWindowNarrows) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    // The engine's message makes a notice longer than a narrow line holds.
    window_.resize(1920, 769);
    PatternEdit()->setText(QStringLiteral("(<a"));
    Drop(WriteSubject("page.html", kThreeAnchors));
    QLabel* label = CountLabel();
    ASSERT_EQ(label->textFormat(), Qt::RichText);
    EXPECT_FALSE(label->text().contains(QChar(0x2026))) << label->text().toStdString();
    window_.resize(800, 769);
    QCoreApplication::processEvents();
    EXPECT_EQ(label->geometry(), QRect(160, 248, 480, 24));
    EXPECT_TRUE(label->text().contains(QChar(0x2026))) << label->text().toStdString();
    EXPECT_LE(label->sizeHint().width(), label->width());
    window_.resize(1920, 769);
    QCoreApplication::processEvents();
    EXPECT_FALSE(label->text().contains(QChar(0x2026))) << label->text().toStdString();
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
    Drop(path);
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
            EXPECT_EQ(dialog->nameFilters(), QStringList({"网页文件 (*.html *.htm *.xhtml *.shtml)",
                                                          "文本文件 (*.txt)", "所有文件 (*)"}));
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
    // The run starts once the dialog is gone.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Table().RowCount() == 4; }));
    EXPECT_EQ(Zone()->text(), path);

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

// Only the two link formats, which read the column roles, highlight the role line.
TEST_F(MainWindowTest, OnlyTheLinkFormatsHighlight) {
    const std::pair<const char*, bool> buttons[] = {
        {"styled_links_radio", true}, {"link_list_radio", true},     {"text_radio", false},
        {"table_radio", false},       {"styled_table_radio", false},
    };
    for (const auto& [button, highlights] : buttons) {
        // Events are handled during a click only while the highlight waits; the timer goes
        // with its context at the end of the turn.
        QObject context;
        bool handled_during_click = false;
        QTimer::singleShot(10, &context, [&] { handled_during_click = true; });
        Find<QRadioButton>(window_, button)->click();
        EXPECT_EQ(handled_during_click, highlights) << button;
    }
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
    Drop(WriteSubject("page.html", kThreeAnchors));
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
    Drop(path);

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

// ---- pages in other character sets -------------------------------------------------

// A GBK page (中文 in GBK) that says so: the anchor lies after the first byte UTF-8 refuses.
const QByteArray kGbkPage = "<meta charset=\"gbk\"><A HREF=\"https://a.cn/x\">\xD6\xD0\xCE\xC4</A>";

// The character set the count line's link offers, or empty when there is no link.
QString OfferedCharset(const QLabel* label) {
    const QString text = label->text();
    const QString start = QStringLiteral("<a href=\"");
    const qsizetype at = text.indexOf(start);
    if (at < 0) return {};
    const qsizetype from = at + start.size();
    return text.mid(from, text.indexOf(QLatin1Char('"'), from) - from);
}

// The offer's link re-runs the match in the declared set; the count line then says which set
// was used, until a new drop goes back to UTF-8.
TEST_F(MainWindowTest, OffersTheDeclaredCharsetAndRerunsInIt) {
    const QString path = WriteSubject("gbk.html", kGbkPage);
    Drop(path);
    QLabel* label = CountLabel();
    EXPECT_EQ(Table().RowCount(), 1);
    EXPECT_TRUE(label->text().contains(QStringLiteral("不是有效的 UTF-8")));
    ASSERT_EQ(OfferedCharset(label), QStringLiteral("GBK"));
    EXPECT_TRUE(label->text().contains(QStringLiteral(">改按 GBK 读取</a>")));

    emit label->linkActivated(OfferedCharset(label));
    ASSERT_EQ(Table().RowCount(), 2);
    EXPECT_EQ(Table().GetCell(1, 3), CellResult("中文"));
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("共找到 1 处匹配结果：")));
    // Reading in the chosen set is no failure: it is said in the ordinary text colour.
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("按 GBK 读取")))
        << label->text().toStdString();
    EXPECT_FALSE(label->text().contains(QStringLiteral("color:"))) << label->text().toStdString();
    EXPECT_EQ(OfferedCharset(label), QString());

    // "匹配" on the same file keeps the set.
    Find<QPushButton>(window_, "match_button")->click();
    EXPECT_EQ(Table().RowCount(), 2);
    EXPECT_TRUE(label->text().contains(QStringLiteral("按 GBK 读取")));

    Drop(path);
    EXPECT_EQ(Table().RowCount(), 1);
    EXPECT_EQ(OfferedCharset(label), QStringLiteral("GBK"));
}

// Without a declaration GB18030 is offered when the whole file decodes in it; a file that is
// neither gets the notice without an offer.
TEST_F(MainWindowTest, OffersGb18030OnlyWhenTheFileDecodesInIt) {
    Drop(WriteSubject("plain.html",
                      "<A HREF=\"https://a.cn/x\">\xD6\xD0\x83"
                      "6\x84"
                      "3</A>"));
    EXPECT_EQ(OfferedCharset(CountLabel()), QStringLiteral("GB18030"));
    emit CountLabel()->linkActivated(QStringLiteral("GB18030"));
    EXPECT_EQ(Table().GetCell(1, 3), CellResult("中한"));

    Drop(WriteSubject("binary.bin",
                      "ab\xFF"
                      "cd"));
    EXPECT_TRUE(CountLabel()->text().contains(QStringLiteral("不是有效的 UTF-8")));
    EXPECT_EQ(OfferedCharset(CountLabel()), QString());
}

// ---- cancel ---------------------------------------------------------------------------

// After two matches the engine stays inside one call for hours: only ending the worker process
// stops it.
TEST_F(MainWindowTest, CancelInsideAnEngineCallGivesTheWindowBackWithTheNotice) {
    const QString path = WriteSubject("trap.txt", QByteArray::fromStdString(EndlessSearchText()));
    ShowActive();
    PatternEdit()->setText(QString::fromStdString(EndlessSearchPattern()));
    QElapsedTimer clock;
    const ModalAnswer answer([&](QWidget* modal) {
        // Once the progress counts the two matches, the engine is inside the trap.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return modal->findChild<QLabel*>()->text().contains(QStringLiteral("已找到 2 处匹配"));
        }));
        Find<QPushButton>(*modal, "cancel_button")->click();
        clock.start();
    });
    Drop(path);
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

// The close box pressed while the progress dialog shows reaches the window (no modal window
// blocks it): the run is cancelled and the window closes once it has ended.
TEST_F(MainWindowTest, TheCloseBoxDuringARunCancelsItAndClosesTheWindow) {
    const QString path = WriteSubject("trap.txt", QByteArray::fromStdString(EndlessSearchText()));
    ShowActive();
    PatternEdit()->setText(QString::fromStdString(EndlessSearchPattern()));
    bool window_blocked = true;
    bool pattern_took_input = true;
    const ModalAnswer answer([&](QWidget* dialog) {
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return dialog->findChild<QLabel*>()->text().contains(QStringLiteral("已找到 2 处匹配"));
        }));
        window_blocked = QGuiApplication::modalWindow() != nullptr;
        // The window takes no input meanwhile.
        const QString before = PatternEdit()->text();
        QTest::keyClick(PatternEdit(), Qt::Key_X);
        pattern_took_input = PatternEdit()->text() != before;
        window_.windowHandle()->close();  // what the close box does
    });
    Drop(path);
    EXPECT_TRUE(answer.Answered());
    EXPECT_FALSE(window_blocked);
    EXPECT_FALSE(pattern_took_input);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.isVisible(); }));
    EXPECT_TRUE(CountLabel()->text().contains(QStringLiteral("已取消")))
        << CountLabel()->text().toStdString();
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // no worker left
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
    Drop(WriteSubject("page.html", kThreeAnchors));
    SelectBlock(0, 1, 1, 2);
    MessageSeen seen;
    QUrl folder_url;
    bool ok_is_default = false;
    // Notes the box and its folder button, and closes it with OK: no file manager starts.
    const ModalAnswer answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget()};
        if (auto* open = box->findChild<QPushButton*>(QStringLiteral("open_folder_button"))) {
            EXPECT_EQ(open->text(), QStringLiteral("打开文件夹"));
            folder_url = open->property("folder_url").toUrl();
        }
        ok_is_default = box->defaultButton() == box->button(QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    Find<QPushButton>(window_, "export_button")->click();
    EXPECT_TRUE(answer.Answered());

    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("https://a.example    Alpha    \r\nhttp://b.example    Beta    \r\n"));
    const QStringList written =
        QDir(dir_.path()).entryList({QStringLiteral("文本*.txt")}, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(seen.caption, QStringLiteral("完成"));
    EXPECT_EQ(seen.text, QStringLiteral("已导出到目录：") + QDir::cleanPath(dir_.path()) + "/\r\n" +
                             written.front());
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.owner, &window_);
    EXPECT_TRUE(ok_is_default);
    EXPECT_EQ(folder_url, QUrl::fromLocalFile(QDir::cleanPath(dir_.path())));
}

// Each format button exports its own format: the file takes that format's word and extension.
TEST_F(MainWindowTest, EachFormatButtonExportsItsFormat) {
    Drop(WriteSubject("page.html", kThreeAnchors));
    SelectBlock(0, 1, 1, 2);
    const std::pair<const char*, const char*> buttons[] = {
        {"styled_links_radio", "个性链接*.html"},
        {"link_list_radio", "链接*.html"},
        {"text_radio", "文本*.txt"},
        {"table_radio", "html表格*.html"},
        {"styled_table_radio", "个性表格*.html"},
    };
    for (const auto& [button, files] : buttons) {
        SCOPED_TRACE(button);
        Find<QRadioButton>(window_, button)->click();
        MessageSeen seen;
        const ModalAnswer answer = NoteNextMessage(seen);
        Find<QPushButton>(window_, "export_button")->click();
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(seen.caption, QStringLiteral("完成"));
        EXPECT_EQ(QDir(dir_.path()).entryList({QString::fromUtf8(files)}, QDir::Files).size(), 1);
    }
}

// ---- desktops: themes, fonts, paths, Qt's own texts --------------------------------------

const QColor kWindowBlue(219, 236, 249);

// Pixels of a control that are drawn dark, as black text on the light window is.
int DarkPixels(QWidget* control, int from_x) {
    const QImage image = control->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = from_x; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.red() + colour.green() + colour.blue() < 200) ++dark;
        }
    }
    return dark;
}

// The room of the table that no cell covers, right after start-up.
QColor EmptyTableColour(ResultTableView* view) {
    QWidget* area = view->viewport();
    return area->grab().toImage().pixelColor(area->width() - 5, area->height() - 5);
}

TEST_F(MainWindowTest, TheEmptyTableAreaIsTheWindowColourFromTheStart) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    EXPECT_EQ(EmptyTableColour(View()), kWindowBlue);
}

// A desktop with a dark theme (as KDE's Breeze Dark gives applications) and a large font.
class DesktopThemeTest : public ::testing::Test {
  protected:
    DesktopThemeTest() : palette_(QApplication::palette()), font_(QApplication::font()) {
        QPalette dark(QColor(49, 54, 59));
        const QColor light_text(239, 240, 241);
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(role, light_text);
        }
        dark.setColor(QPalette::Window, QColor(49, 54, 59));
        dark.setColor(QPalette::Base, QColor(35, 38, 41));
        QApplication::setPalette(dark);
        QFont large = font_;
        large.setPixelSize(24);
        QApplication::setFont(large);
        window_ = std::make_unique<MainWindow>();
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    ~DesktopThemeTest() override {
        window_.reset();
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }

    const QPalette palette_;
    const QFont font_;
    std::unique_ptr<MainWindow> window_;
};

// Captions with the indicator's room before them, where a button has one.
const std::pair<const char*, int> kCaptions[] = {
    {"pattern_heading", 0},     {"drop_heading", 0},     {"format_heading", 0},
    {"count_line", 0},          {"ignore_case_box", 20}, {"styled_links_radio", 20},
    {"link_list_radio", 20},    {"text_radio", 20},      {"table_radio", 20},
    {"styled_table_radio", 20},
};

TEST_F(DesktopThemeTest, CaptionsAndTableKeepTheWindowsOwnColours) {
    EXPECT_EQ(window_->palette().color(QPalette::Window), kWindowBlue);
    for (const auto& [name, from_x] : kCaptions) {
        EXPECT_GT(DarkPixels(Find<QWidget>(*window_, name), from_x), 0) << name;
    }
    auto* view = Find<ResultTableView>(*window_, "result_table");
    EXPECT_EQ(EmptyTableColour(view), kWindowBlue);
}

// The table follows the desktop's font: its heading row and number column grow to fit it.
TEST_F(DesktopThemeTest, TheTablesHeadingsFitTheLargeFont) {
    auto* view = Find<ResultTableView>(*window_, "result_table");
    auto* corner = view->findChild<QLabel*>();
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->text(), QStringLiteral("序号"));
    EXPECT_GE(corner->width(), corner->sizeHint().width());
    const QFontMetrics metrics(view->horizontalHeader()->font());
    EXPECT_GE(view->horizontalHeader()->height(), metrics.height());
}

TEST_F(DesktopThemeTest, CaptionsHaveTheirOwnPixelSizeThatFitsTheirBoxes) {
    for (const auto& [name, from_x] : kCaptions) {
        const auto* control = Find<QWidget>(*window_, name);
        EXPECT_EQ(control->font().pixelSize(), 12) << name;
        // The count line's text changes with each run.
        if (std::string(name) != "count_line") {
            EXPECT_LE(control->sizeHint().width(), control->width()) << name;
        }
    }
    for (const char* name : {"match_button", "export_button", "drop_zone"}) {
        EXPECT_EQ(Find<QWidget>(*window_, name)->font().pixelSize(), 12) << name;
    }
}

// Creates a file whose name is given as bytes, which need not be UTF-8.
bool WriteFileNamedByBytes(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

// The path is kept as the system's bytes: a name that is not UTF-8 is opened, and the caption
// and tooltip show it readably.
TEST_F(MainWindowTest, OpensADroppedFileWhoseNameIsNotUtf8) {
    const QByteArray dir = QFile::encodeName(QDir::cleanPath(dir_.path()));
    const QByteArray path = dir + "/caf\xE9.html";
    ASSERT_TRUE(WriteFileNamedByBytes(path, kThreeAnchors));
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("file://") + QString::fromLatin1(dir.toPercentEncoding("/")) +
                       QStringLiteral("/caf%E9.html"))});
    ASSERT_EQ(DropZone::LocalFilePaths(&data), QList<QByteArray>{path});

    const DropOutcome outcome = DragAndDrop(Zone(), data);
    EXPECT_TRUE(outcome.drop_accepted);
    EXPECT_EQ(Zone()->Path(), path);
    EXPECT_EQ(Table().RowCount(), 4);
    EXPECT_EQ(Zone()->text(), QFile::decodeName(path));
    EXPECT_EQ(Zone()->toolTip(), QFile::decodeName(path));
    EXPECT_TRUE(CountLabel()->toolTip().isEmpty()) << CountLabel()->toolTip().toStdString();
}

// Under a GBK locale the program's text is GBK while the file system's names are UTF-8 bytes:
// the path must not go through the program's text. Runs in a child of this test program
// with a GBK locale of its own.
TEST(GbkLocaleWindowTest, OpensAUtf8PathInAGbkLocale) {
    const TempDir directory;
    const std::filesystem::path locales = directory.Path() / "locales";
    std::filesystem::create_directory(locales);
    const ProgramOutcome made = RunProgram(
        {.program = "localedef", .arguments = {"-i", "zh_CN", "-f", "GBK", locales / "zh_CN.GBK"}});
    if (made.start_error != 0 || made.status != 0) GTEST_SKIP() << "cannot make a GBK locale";
    const ProgramOutcome child = RunProgram(
        {.program = "/proc/self/exe",
         .arguments = {"--gtest_filter=GbkLocaleWindowTest.ChildInAGbkLocale"},
         .environment = {
             {"LOCPATH", locales}, {"LC_ALL", "zh_CN.GBK"}, {"LINTARO_GBK_CHILD", "1"}}});
    EXPECT_EQ(child.status, 0) << child.out << child.err;
    EXPECT_NE(child.out.find("[  PASSED  ] 1 test"), std::string::npos) << child.out;
}

TEST(GbkLocaleWindowTest, ChildInAGbkLocale) {
    if (qEnvironmentVariableIsEmpty("LINTARO_GBK_CHILD")) GTEST_SKIP() << "run by the test above";
    ASSERT_EQ(NormalizedCharsetName(ProgramCharset()), "gbk");
    const QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("中文dir")));
    const QString path = dir.filePath(QStringLiteral("中文dir/links.html"));
    ASSERT_TRUE(WriteFile(path, kThreeAnchors + R"(<a href="http://d.example/">中文链接</a>)"));
    MainWindow window;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    EXPECT_TRUE(DragAndDrop(Find<DropZone>(window, "drop_zone"), data).drop_accepted);
    auto* view = Find<ResultTableView>(window, "result_table");
    EXPECT_EQ(view->Model()->Table().RowCount(), 5);
    EXPECT_EQ(Find<DropZone>(window, "drop_zone")->text(), path);

    // The export's text goes out of the program's GBK as UTF-8, to the file and the clipboard.
    const QAbstractItemModel* model = view->model();
    view->selectionModel()->select(QItemSelection(model->index(3, 1), model->index(3, 2)),
                                   QItemSelectionModel::Select);
    QString told;
    const auto note_and_close = [&told](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        told = box->text();
        box->button(QMessageBox::Ok)->click();
    };
    {
        const ModalAnswer answer(note_and_close);
        Find<QPushButton>(window, "export_button")->click();
        EXPECT_TRUE(answer.Answered());
    }
    const QString expected = QStringLiteral("http://d.example    中文链接    \r\n");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    // Its name is program text, GBK bytes here: found by its bytes, not through Qt's names.
    std::vector<std::filesystem::path> written;
    for (const auto& entry : std::filesystem::directory_iterator(
             QFile::encodeName(dir.filePath(QStringLiteral("中文dir"))).toStdString())) {
        written.push_back(entry.path());
    }
    ASSERT_EQ(written.size(), 2u) << told.toStdString();
    const std::filesystem::path& exported =
        written[0].extension() == ".txt" ? written[0] : written[1];
    EXPECT_EQ(exported.filename().string().substr(0, 4), "\xCE\xC4\xB1\xBE");  // 文本
    // The done message shows the folder and the name as the user knows them.
    EXPECT_TRUE(told.startsWith(QStringLiteral("已导出到目录：") +
                                dir.filePath(QStringLiteral("中文dir/\r\n文本"))))
        << told.toStdString();
    std::ifstream file(exported, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, expected.toUtf8().toStdString());

    // With the folder gone, the error message names it as the user knows it too.
    std::filesystem::remove_all(
        QFile::encodeName(dir.filePath(QStringLiteral("中文dir"))).toStdString());
    const ModalAnswer answer(note_and_close);
    Find<QPushButton>(window, "export_button")->click();
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(told.startsWith(QStringLiteral("无法写入导出文件：") +
                                dir.filePath(QStringLiteral("中文dir/文本"))))
        << told.toStdString();
}

// Qt's own texts (the file chooser, context menus, message-box buttons) are Chinese like ours.
TEST(QtTranslationTest, QtsOwnTextsAreChinese) {
    const std::unique_ptr<QTranslator> translation = InstallQtChineseTranslation();
    ASSERT_NE(translation, nullptr) << "qt6-translations-l10n is missing";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Copy"));
}

// ---- operations of the column header's menu -----------------------------------------

class ColumnMenuTest : public MainWindowTest {
  protected:
    // Right-clicks the header cell of view column view_column and returns the menu it opens.
    QMenu* OpenMenu(int view_column) {
        QHeaderView* header = View()->horizontalHeader();
        const QPoint point(header->sectionViewportPosition(view_column) + 5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                header->viewport()->mapToGlobal(point));
        QApplication::sendEvent(header->viewport(), &event);
        auto* menu = View()->findChild<QMenu*>(QStringLiteral("column_menu"));
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    void Choose(int view_column, const QString& caption) {
        QMenu* menu = OpenMenu(view_column);
        if (menu == nullptr) return;
        for (QAction* action : menu->actions()) {
            if (action->text() == caption) action->trigger();
        }
        menu->close();
        QApplication::processEvents();
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int row = 1; row < Table().RowCount(); ++row) {
            texts.emplace_back(*Table().GetCell(row, column));
        }
        return texts;
    }
};

const QByteArray kRepeatedAnchors =
    "<a href=\"b.html\">B &amp; b</a>\n<a href=\"a.html\">  A\n  a </a>\n"
    "<a href=\"b.html\">again</a>";
const QString kAnchorPattern = QStringLiteral("<a href=\"([^\"]*)\">([^<]*)</a>");

TEST_F(ColumnMenuTest, HeaderMenuOffersTheOperationsAndTheyChangeTheTable) {
    ShowActive();
    PatternEdit()->setText(kAnchorPattern);
    Drop(WriteSubject("page.html", kRepeatedAnchors));
    ASSERT_EQ(Table().RowCount(), 4);
    QMenu* menu = OpenMenu(1);
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    for (const QAction* action : menu->actions()) captions << action->text();
    EXPECT_EQ(captions, (QStringList{"解码字符实体", "补全相对链接…", "整理空白", "按此列去重",
                                     "按此列排序"}));
    menu->close();
    QApplication::processEvents();

    const QString count_line = QStringLiteral("共找到 3 处匹配结果：");
    Choose(1, QStringLiteral("按此列去重"));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"b.html", "a.html"}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(CountLabel()->text().startsWith(count_line)) << CountLabel()->text().toStdString();
    EXPECT_TRUE(CountLabel()->text().contains(QStringLiteral("去重：删除 1 行，余 2 行")));
    // A note on what an operation did is not shown as an error.
    EXPECT_FALSE(CountLabel()->text().contains(QStringLiteral("#d00000")));

    Choose(2, QStringLiteral("解码字符实体"));
    Choose(2, QStringLiteral("整理空白"));
    Choose(1, QStringLiteral("按此列排序"));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"a.html", "b.html"}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{"A a", "B & b"}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2"}));

    // A new run starts from the raw harvest again.
    window_.RunMatch();
    EXPECT_EQ(Column(2), (std::vector<std::string>{"b.html", "a.html", "b.html"}));
}

TEST_F(ColumnMenuTest, ResolvingAsksForABaseAndOffersTheLastOneGiven) {
    ShowActive();
    PatternEdit()->setText(kAnchorPattern);
    Drop(WriteSubject("page.html", kRepeatedAnchors));
    QString offered;
    {
        const ModalAnswer answer([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            offered = dialog->textValue();
            dialog->setTextValue(QStringLiteral("https://e.org/d/"));
            dialog->accept();
        });
        Choose(1, QStringLiteral("补全相对链接…"));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(offered, QString());
    EXPECT_EQ(Column(2),
              (std::vector<std::string>{"https://e.org/d/b.html", "https://e.org/d/a.html",
                                        "https://e.org/d/b.html"}));
    EXPECT_TRUE(CountLabel()->text().contains(QStringLiteral("补全相对链接：补全 3 个")));
    window_.RunMatch();
    {
        const ModalAnswer answer([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            offered = dialog->textValue();
            dialog->reject();
        });
        Choose(1, QStringLiteral("补全相对链接…"));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(offered, QStringLiteral("https://e.org/d/"));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"b.html", "a.html", "b.html"}));
}

TEST_F(ColumnMenuTest, ResolvingUsesThePagesOwnBase) {
    ShowActive();
    PatternEdit()->setText(kAnchorPattern);
    Drop(WriteSubject("page.html",
                      "<!-- saved from url=(0022)https://e.org/d/p.html -->\n" + kRepeatedAnchors));
    Choose(1, QStringLiteral("补全相对链接…"));
    EXPECT_EQ(Column(2),
              (std::vector<std::string>{"https://e.org/d/b.html", "https://e.org/d/a.html",
                                        "https://e.org/d/b.html"}));
}

}  // namespace
}  // namespace lintaro
