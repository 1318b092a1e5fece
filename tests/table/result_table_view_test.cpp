// Widget tests of the result table view: click rules, selection, copying, sizes and colours.
#include "table/result_table_view.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/table_builder.h"

namespace lintaro {
namespace {

// The table a match run with two groups and six matches leaves behind.
ResultTable RunTable() {
    std::vector<std::vector<std::string>> cells = {
        {"序号", "匹配文本", "子表达式匹配1", "子表达式匹配2"}};
    for (int i = 1; i <= 6; ++i) {
        std::vector<std::string>& row = cells.emplace_back(1, std::to_string(i));
        for (int c = 1; c <= 3; ++c)
            row.push_back("r" + std::to_string(i) + "c" + std::to_string(c));
    }
    ResultTable table = MakeTable(cells);
    table.SetColumnWidth(0, 50);
    table.SetColumnWidth(2, 344);
    table.SetColumnWidth(3, 344);
    return table;
}

// A point on one of the view's widgets.
struct Spot {
    QWidget* widget;
    QPoint point;
};

// A shown view over RunTable that records the events it reports.
class TableOnScreen {
  public:
    TableOnScreen() {
        model_.ReplaceTable(RunTable());
        view_.resize(1000, 400);  // wider and taller than the table: room that no cell covers
        view_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view_));
        QObject::connect(&view_, &ResultTableView::FixedCellClicked,
                         [this](int row, int column) { Record("click", row, column); });
        QObject::connect(&view_, &ResultTableView::FixedCellDoubleClicked,
                         [this](int row, int column) { Record("double", row, column); });
    }

    ResultTableModel& model() { return model_; }
    ResultTableView& view() { return view_; }
    const std::string& events() const { return events_; }

    Spot Header(int column) const {
        const QHeaderView* header = view_.horizontalHeader();
        const int section = column - 1;
        return {header->viewport(),
                {header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                 header->height() / 2}};
    }
    Spot HeaderBorder(int column) const {
        const QHeaderView* header = view_.horizontalHeader();
        const int section = column - 1;
        return {header->viewport(),
                {header->sectionViewportPosition(section) + header->sectionSize(section) - 1,
                 header->height() / 2}};
    }
    Spot HeaderPastLastColumn() const {
        const QHeaderView* header = view_.horizontalHeader();
        return {header->viewport(), {header->length() + 40, header->height() / 2}};
    }
    Spot Number(int row) const {
        const QHeaderView* header = view_.verticalHeader();
        const int section = row - 1;
        return {header->viewport(),
                {header->width() / 2,
                 header->sectionViewportPosition(section) + header->sectionSize(section) / 2}};
    }
    Spot NumberPastLastRow() const {
        const QHeaderView* header = view_.verticalHeader();
        return {header->viewport(), {header->width() / 2, header->length() + 40}};
    }
    Spot CornerBorder() const {
        auto* corner = view_.findChild<QLabel*>();
        return {corner, {corner->width() - 1, corner->height() / 2}};
    }
    Spot Corner() const {
        auto* corner = view_.findChild<QLabel*>();
        return {corner, corner->rect().center()};
    }
    Spot Data(int row, int column) const {
        return {view_.viewport(), view_.visualRect(model_.index(row - 1, column - 1)).center()};
    }

    static void Click(Spot spot, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(spot.widget, Qt::LeftButton, modifiers, spot.point);
    }
    // What Qt delivers for a double click: press, release, press, double click, release.
    static void DoubleClick(Spot spot) {
        QTest::mousePress(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseRelease(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mousePress(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseDClick(spot.widget, Qt::LeftButton, {}, spot.point);
        QTest::mouseRelease(spot.widget, Qt::LeftButton, {}, spot.point);
    }
    // Press, move with the button held, release; the pointer stays on the pressed widget,
    // which grabs the mouse, so the end point is given in that widget's coordinates.
    static void Drag(Spot from, QPoint to) {
        QTest::mousePress(from.widget, Qt::LeftButton, {}, from.point);
        QTest::mouseMove(from.widget, to);
        QTest::mouseRelease(from.widget, Qt::LeftButton, {}, to);
    }

  private:
    void Record(const char* what, int row, int column) {
        if (!events_.empty()) events_ += ' ';
        events_ += std::string(what) + " " + std::to_string(row) + "," + std::to_string(column);
    }

    ResultTableModel model_;
    ResultTableView view_{&model_};
    std::string events_;
};

TEST(ResultTableView, ReportsFixedCellClicksByTheTableRules) {
    using Screen = TableOnScreen;
    const struct {
        const char* name;
        std::function<void(Screen&)> act;
        const char* events;
    } cases[] = {
        {"header cell", [](Screen& s) { Screen::Click(s.Header(2)); }, "click 0,2"},
        {"corner cell", [](Screen& s) { Screen::Click(s.Corner()); }, "click 0,0"},
        {"number cell of row 4", [](Screen& s) { Screen::Click(s.Number(4)); }, "click 4,0"},
        {"data cell", [](Screen& s) { Screen::Click(s.Data(2, 2)); }, ""},
        {"right button",
         [](Screen& s) {
             QTest::mouseClick(s.Header(2).widget, Qt::RightButton, {}, s.Header(2).point);
         },
         ""},
        {"press, move, release on a header",
         [](Screen& s) { Screen::Drag(s.Header(2), s.Header(2).point + QPoint(5, 0)); }, ""},
        {"press, move, release over number cells",
         [](Screen& s) { Screen::Drag(s.Number(1), s.Number(3).point); }, ""},
        {"double click on a header cell", [](Screen& s) { Screen::DoubleClick(s.Header(2)); },
         "click 0,2 double 0,2"},
        {"double click on a number cell", [](Screen& s) { Screen::DoubleClick(s.Number(3)); },
         "click 3,0 double 3,0"},
        {"double click on the corner", [](Screen& s) { Screen::DoubleClick(s.Corner()); },
         "click 0,0 double 0,0"},
        {"double click on a data cell", [](Screen& s) { Screen::DoubleClick(s.Data(1, 1)); }, ""},
        {"link column 1, then text column 2",
         [](Screen& s) {
             Screen::DoubleClick(s.Header(1));
             Screen::Click(s.Header(2));
         },
         "click 0,1 double 0,1 click 0,2"},
        {"press on a column border without moving",
         [](Screen& s) { Screen::Click(s.HeaderBorder(2)); }, ""},
        {"double click on a column border",
         [](Screen& s) { Screen::DoubleClick(s.HeaderBorder(1)); }, ""},
        {"press on the number column's border without moving",
         [](Screen& s) { Screen::Click(s.CornerBorder()); }, ""},
        {"double click on the number column's border",
         [](Screen& s) { Screen::DoubleClick(s.CornerBorder()); }, ""},
        {"header area past the last column",
         [](Screen& s) {
             Screen::Click(s.HeaderPastLastColumn());
             Screen::DoubleClick(s.HeaderPastLastColumn());
         },
         ""},
        {"number area below the last row",
         [](Screen& s) {
             Screen::Click(s.NumberPastLastRow());
             Screen::DoubleClick(s.NumberPastLastRow());
         },
         ""},
    };
    for (const auto& c : cases) {
        TableOnScreen screen;
        c.act(screen);
        EXPECT_EQ(screen.events(), c.events) << c.name;
    }
}

// Input through the window, as the platform delivers it: Qt itself finds the double click,
// sends hover moves and gives the pressed widget the mouse.
TEST(ResultTableView, ReportsTheSameEventsForInputThroughTheWindow) {
    TableOnScreen screen;
    QWindow* window = screen.view().windowHandle();
    const auto at = [&](Spot spot) { return spot.widget->mapTo(&screen.view(), spot.point); };
    QTest::mouseMove(window, at(screen.Header(3)));
    QTest::mouseDClick(window, Qt::LeftButton, {}, at(screen.Header(3)));
    QTest::mouseMove(window, at(screen.Number(4)));
    QTest::mouseClick(window, Qt::LeftButton, {}, at(screen.Number(4)));
    QTest::mouseMove(window, at(screen.Header(1)));
    QTest::mousePress(window, Qt::LeftButton, {}, at(screen.Header(1)));
    QTest::mouseMove(window, at(screen.Header(1)) + QPoint(3, 0));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(screen.Header(1)) + QPoint(3, 0));
    QTest::mouseMove(window, at(screen.Corner()));
    QTest::mouseClick(window, Qt::LeftButton, {}, at(screen.Corner()));
    EXPECT_EQ(screen.events(), "click 0,3 double 0,3 click 4,0 click 0,0");
}

TEST(ResultTableView, DraggingAColumnBorderResizesTheTableColumn) {
    TableOnScreen screen;
    const Spot border = screen.HeaderBorder(2);
    TableOnScreen::Drag(border, border.point + QPoint(40, 0));
    EXPECT_EQ(screen.model().Table().ColumnWidth(2), 344 + 40);
    EXPECT_EQ(screen.events(), "");
}

// The number column's border in the header row is the corner's right edge; the first column
// header's left edge is the same border seen from the other side.
TEST(ResultTableView, DraggingTheNumberColumnBorderResizesIt) {
    TableOnScreen screen;
    const Spot corner_border = screen.CornerBorder();
    TableOnScreen::Drag(corner_border, corner_border.point + QPoint(30, 0));
    EXPECT_EQ(screen.model().Table().ColumnWidth(0), 50 + 30);
    EXPECT_EQ(screen.view().verticalHeader()->width(), 80);
    EXPECT_TRUE(screen.view().Selection().IsEmpty());

    const Spot header_edge{screen.Header(1).widget, {1, screen.Header(1).point.y()}};
    TableOnScreen::Drag(header_edge, header_edge.point - QPoint(60, 0));
    EXPECT_EQ(screen.model().Table().ColumnWidth(0), 20);
    EXPECT_EQ(screen.view().verticalHeader()->width(), 20);
    EXPECT_TRUE(screen.view().Selection().IsEmpty());
    EXPECT_EQ(screen.events(), "");
}

// Each new table widens the number column to its largest number, and never narrows it.
TEST(ResultTableView, NumberColumnFitsTheLargestNumber) {
    TableOnScreen screen;
    ResultTableView& view = screen.view();
    const HeadingWidthFunction width = view.HeadingWidth();
    ResultTable many = MakeTable({{"序号", "匹配文本"}, {"1099990", "a"}, {"1099991", "b"}});
    many.SetColumnWidth(0, 50);
    screen.model().ReplaceTable(std::move(many));
    ASSERT_GT(width("1099991"), 50);
    EXPECT_EQ(view.verticalHeader()->width(), width("1099991"));
    EXPECT_EQ(screen.model().Table().ColumnWidth(0), width("1099991"));

    screen.model().ReplaceTable(RunTable());
    EXPECT_EQ(view.verticalHeader()->width(), 50);
}

TEST(ResultTableView, SelectionQueriesGiveTheBoundingRectangle) {
    using Screen = TableOnScreen;
    const struct {
        const char* name;
        std::function<void(Screen&)> act;
        SelectionRect rect;
    } cases[] = {
        {"nothing", [](Screen&) {}, {}},
        {"one data cell", [](Screen& s) { Screen::Click(s.Data(2, 1)); }, {2, 1, 2, 1}},
        {"two cells apart",
         [](Screen& s) {
             Screen::Click(s.Data(2, 1));
             Screen::Click(s.Data(5, 3), Qt::ControlModifier);
         },
         {2, 1, 5, 3}},
        {"dragged block",
         [](Screen& s) { Screen::Drag(s.Data(1, 1), s.Data(3, 2).point); },
         {1, 1, 3, 2}},
        {"header cell", [](Screen& s) { Screen::Click(s.Header(2)); }, {1, 2, 6, 2}},
        {"number cell", [](Screen& s) { Screen::Click(s.Number(3)); }, {3, 1, 3, 3}},
        {"corner", [](Screen& s) { Screen::Click(s.Corner()); }, {1, 1, 6, 3}},
        {"drag over headers",
         [](Screen& s) { Screen::Drag(s.Header(1), s.Header(2).point); },
         {1, 1, 6, 2}},
        {"drag over number cells",
         [](Screen& s) { Screen::Drag(s.Number(2), s.Number(4).point); },
         {2, 1, 4, 3}},
    };
    for (const auto& c : cases) {
        TableOnScreen screen;
        c.act(screen);
        const ResultTableView& view = screen.view();
        EXPECT_EQ(view.Selection(), c.rect) << c.name;
    }
}

TEST(ResultTableView, ANewTableEmptiesTheSelection) {
    TableOnScreen screen;
    TableOnScreen::Click(screen.Corner());
    ASSERT_FALSE(screen.view().Selection().IsEmpty());
    screen.model().ReplaceTable(RunTable());
    EXPECT_TRUE(screen.view().Selection().IsEmpty());
}

TEST(ResultTableView, DoubleClickEditsADataCellInPlace) {
    TableOnScreen screen;
    TableOnScreen::DoubleClick(screen.Data(2, 3));
    auto* editor = screen.view().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("改了"));  // QTest types ASCII keys only
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the editor commits through a queued call
    EXPECT_EQ(*screen.model().Table().GetCell(2, 3), "改了");
    EXPECT_EQ(screen.events(), "");
}

TEST(ResultTableView, CtrlCCopiesTheSelectedRectangle) {
    TableOnScreen screen;
    ResultTableModel& model = screen.model();
    ASSERT_TRUE(model.setData(model.index(2, 1), QStringLiteral("tab\there")));
    TableOnScreen::Drag(screen.Data(2, 1), screen.Data(3, 2).point);
    QTest::keyClick(&screen.view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "r2c1\tr2c2\nr3c1\t\"tab\there\"\n");
}

TEST(ResultTableView, ShowsTheTableSizesAndCornerText) {
    TableOnScreen screen;
    ResultTableView& view = screen.view();
    EXPECT_EQ(view.verticalHeader()->width(), 50);
    EXPECT_EQ(view.horizontalHeader()->height(), 32);
    EXPECT_EQ(view.rowHeight(5), 32);
    EXPECT_EQ(view.columnWidth(0), screen.model().Table().ColumnWidth(1));
    EXPECT_EQ(view.columnWidth(1), 344);
    EXPECT_EQ(view.findChild<QLabel*>()->text(), "序号");
    EXPECT_EQ(view.findChild<QLabel*>()->geometry(),
              QRect(view.verticalHeader()->x(), view.horizontalHeader()->y(), 50, 32));

    // The next table's sizes and corner replace this one's.
    ResultTable next = RunTable();
    next.SetColumnWidth(2, 0);
    next.SetColumnWidth(0, 70);
    next.SetCell(0, 0, "No.");
    screen.model().ReplaceTable(std::move(next));
    EXPECT_EQ(view.columnWidth(1), 0);
    EXPECT_EQ(view.verticalHeader()->width(), 70);
    EXPECT_EQ(view.findChild<QLabel*>()->text(), "No.");
}

// A large desktop font: the heading row grows and the corner's heading is never cut.
TEST(ResultTableView, HeadingsFitALargeFont) {
    for (const int pixels : {12, 24, 40}) {
        ResultTableModel model;
        ResultTableView view(&model);
        QFont font = view.font();
        font.setPixelSize(pixels);
        view.setFont(font);
        view.resize(1000, 400);
        model.ReplaceTable(RunTable());
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const QFontMetrics metrics(view.horizontalHeader()->font());
        auto* corner = view.findChild<QLabel*>();
        EXPECT_EQ(corner->text(), "序号");
        EXPECT_GE(corner->width(), metrics.horizontalAdvance(corner->text())) << pixels;
        EXPECT_GE(corner->width(), corner->sizeHint().width()) << pixels;
        EXPECT_GE(view.horizontalHeader()->height(), metrics.height()) << pixels;
        EXPECT_GE(view.horizontalHeader()->height(), 32) << pixels;
    }
}

TEST(ResultTableView, HeadingWidthFollowsTheHeaderFont) {
    TableOnScreen screen;
    const HeadingWidthFunction width = screen.view().HeadingWidth();
    EXPECT_GT(width("子表达式匹配1"), width("ab"));
    EXPECT_EQ(width(""), 9);  // padding on both sides and the grid line
}

QColor PixelAt(QWidget* widget, QPoint point) {
    return widget->grab().toImage().pixelColor(point);
}

TEST(ResultTableView, DrawsTheTableColours) {
    TableOnScreen screen;
    ResultTableView& view = screen.view();
    const QColor cell(219, 236, 249);
    const QColor fixed(250, 245, 218);
    const QColor selected(188, 199, 248);
    const QColor grid(128, 128, 128);
    // Points on the right of a cell, clear of its left-aligned text.
    const QRect data = view.visualRect(screen.model().index(0, 1));
    EXPECT_EQ(PixelAt(view.viewport(), {data.right() - 5, data.center().y()}), cell);
    EXPECT_EQ(PixelAt(view.viewport(), {data.right() + 1, data.center().y()}), grid);
    const Spot header = screen.HeaderBorder(3);
    EXPECT_EQ(PixelAt(header.widget, header.point - QPoint(5, 0)), fixed);

    // The room that no cell covers, as first shown.
    EXPECT_EQ(PixelAt(view.viewport(), {view.viewport()->width() - 5, data.center().y()}), cell);

    ResultTable dark = RunTable();
    dark.SetBackgroundColour({10, 20, 30});
    screen.model().ReplaceTable(std::move(dark));
    EXPECT_EQ(PixelAt(view.viewport(), {view.viewport()->width() - 5, data.center().y()}),
              QColor(10, 20, 30));

    // The whole column is selected; row 1's cell holds the focus and is drawn as such.
    TableOnScreen::Click(screen.Header(2));
    const QRect below = view.visualRect(screen.model().index(2, 1));
    EXPECT_EQ(PixelAt(view.viewport(), {below.right() - 5, below.center().y()}), selected);
}

}  // namespace
}  // namespace lintaro
