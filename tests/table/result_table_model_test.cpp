// Tests of the Qt model over the result table: index mapping, texts, edits and model signals.
#include "table/result_table_model.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <string>

#include "support/table_builder.h"

namespace lintaro {
namespace {

// Collects Qt warnings, which is how QAbstractItemModelTester reports a broken model.
class WarningRecorder {
  public:
    WarningRecorder() {
        warnings().clear();
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (type != QtDebugMsg && type != QtInfoMsg) warnings() += message + "\n";
            });
    }
    ~WarningRecorder() { qInstallMessageHandler(previous_); }
    WarningRecorder(const WarningRecorder&) = delete;
    WarningRecorder& operator=(const WarningRecorder&) = delete;

    static QString& warnings() {
        static QString text;
        return text;
    }

  private:
    QtMessageHandler previous_;
};

// "序号 | 匹配文本 | 组" over rows "1 | m1 | g1", "2 | m2 | g2".
ResultTable SmallRunTable() {
    return MakeTable({{"序号", "匹配文本", "组"}, {"1", "m1", "g1"}, {"2", "m2", "g2"}});
}

// The data cells as the model shows them, rows separated by "/".
QString Shown(const ResultTableModel& model) {
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            cells << model.data(model.index(r, c)).toString();
        }
        rows << cells.join('|');
    }
    return rows.join('/');
}

QString Headers(const ResultTableModel& model, Qt::Orientation orientation) {
    QStringList texts;
    const int count = orientation == Qt::Horizontal ? model.columnCount() : model.rowCount();
    for (int s = 0; s < count; ++s) texts << model.headerData(s, orientation).toString();
    return texts.join('|');
}

TEST(ResultTableModel, FixedRowAndColumnBecomeHeaders) {
    ResultTableModel model;
    model.ReplaceTable(SmallRunTable());
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(Shown(model), "m1|g1/m2|g2");
    EXPECT_EQ(Headers(model, Qt::Horizontal), "匹配文本|组");
    EXPECT_EQ(Headers(model, Qt::Vertical), "1|2");
    EXPECT_EQ(model.CornerText(), "序号");
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST(ResultTableModel, OperationsKeepTheModelConsistent) {
    WarningRecorder recorder;
    ResultTableModel model;
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model.ReplaceTable(SmallRunTable());
    EXPECT_TRUE(model.InsertColumn("mid", 2));
    EXPECT_TRUE(model.InsertColumn("end"));
    EXPECT_TRUE(model.InsertRow("x", 1));
    EXPECT_TRUE(model.InsertRow("y"));
    EXPECT_EQ(Headers(model, Qt::Horizontal), "匹配文本|mid|组|end");
    EXPECT_EQ(Headers(model, Qt::Vertical), "x|1|2|y");
    EXPECT_EQ(Shown(model), "|||/m1||g1|/m2||g2|/|||");
    EXPECT_TRUE(model.DeleteColumn(2));
    EXPECT_TRUE(model.DeleteRow(4));
    EXPECT_FALSE(model.DeleteRow(4));
    EXPECT_FALSE(model.DeleteColumn(-1));
    EXPECT_EQ(Shown(model), "||/m1|g1|/m2|g2|");
    // Losing the header row and the number column: every cell becomes a data cell.
    EXPECT_TRUE(model.DeleteRow(0));
    EXPECT_TRUE(model.DeleteColumn(0));
    EXPECT_EQ(model.CornerText(), "");
    EXPECT_EQ(Headers(model, Qt::Horizontal), "||");
    EXPECT_EQ(Shown(model), "||/m1|g1|/m2|g2|");
    while (model.Table().RowCount() > 0) model.DeleteRow(model.Table().RowCount() - 1);
    while (model.Table().ColumnCount() > 0) model.DeleteColumn(model.Table().ColumnCount() - 1);
    EXPECT_TRUE(model.InsertColumn("匹配文本", 1));
    EXPECT_TRUE(model.InsertRow("1"));
    EXPECT_EQ(Headers(model, Qt::Horizontal), "匹配文本");
    EXPECT_EQ(Headers(model, Qt::Vertical), "1");
    model.SetCell(1, 1, "edited");
    model.SetCell(0, 0, "corner");
    model.ResetTable();
    EXPECT_EQ(Shown(model), "");
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(WarningRecorder::warnings().toStdString(), "");
}

TEST(ResultTableModel, SetCellAnnouncesWhatChanged) {
    ResultTableModel model;
    model.ReplaceTable(SmallRunTable());
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy corner(&model, &ResultTableModel::CornerTextChanged);

    model.SetCell(2, 1, "new");
    ASSERT_EQ(data.count(), 1);
    EXPECT_EQ(data.at(0).at(0).value<QModelIndex>(), model.index(1, 0));
    model.SetCell(0, 2, "组二");
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers.at(0).at(0).value<Qt::Orientation>(), Qt::Horizontal);
    EXPECT_EQ(headers.at(0).at(1).toInt(), 1);
    model.SetCell(1, 0, "one");
    ASSERT_EQ(headers.count(), 2);
    EXPECT_EQ(headers.at(1).at(0).value<Qt::Orientation>(), Qt::Vertical);
    EXPECT_EQ(headers.at(1).at(1).toInt(), 0);
    model.SetCell(0, 0, "#");
    EXPECT_EQ(corner.count(), 1);
    model.SetCell(9, 9, "outside");
    EXPECT_EQ(data.count() + headers.count() + corner.count(), 4);

    EXPECT_EQ(Shown(model), "m1|g1/new|g2");
    EXPECT_EQ(Headers(model, Qt::Horizontal), "匹配文本|组二");
    EXPECT_EQ(Headers(model, Qt::Vertical), "one|2");
    EXPECT_EQ(model.CornerText(), "#");
}

TEST(ResultTableModel, EditsBecomeTheCellText) {
    ResultTableModel model;
    model.ReplaceTable(SmallRunTable());
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("中文 typed")));
    EXPECT_EQ(*model.Table().GetCell(1, 2), "中文 typed");
    EXPECT_EQ(data.count(), 1);
    EXPECT_FALSE(model.setData(model.index(5, 5), QStringLiteral("x")));
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST(ResultTableModel, WidthAndBackgroundChangesAreAnnounced) {
    ResultTableModel model;
    QSignalSpy widths(&model, &ResultTableModel::ColumnWidthChanged);
    QSignalSpy background(&model, &ResultTableModel::BackgroundColourChanged);
    EXPECT_TRUE(model.SetColumnWidth(2, 0));
    EXPECT_FALSE(model.SetColumnWidth(5, 10));
    ASSERT_EQ(widths.count(), 1);
    EXPECT_EQ(widths.at(0).at(0).toInt(), 2);
    model.SetBackgroundColour({1, 2, 3});
    EXPECT_EQ(background.count(), 1);
    EXPECT_EQ(model.Table().BackgroundColour(), (Rgb{1, 2, 3}));
}

}  // namespace
}  // namespace lintaro
