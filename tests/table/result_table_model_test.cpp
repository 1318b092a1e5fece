// Tests of the Qt model over the result table: index mapping, texts, new tables and edits.
#include "table/result_table_model.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <string>
#include <utility>

#include "base/program_text.h"
#include "support/table_builder.h"
#include "table/qt_conversions.h"
#include "table/shown_cell_text.h"

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

// The conversion straight into a QString gives what the one through UTF-16 gives, bytes that
// are not well formed and characters outside the basic plane included.
TEST(ProgramTextToQString, GivesTheUtf16Conversion) {
    for (const std::string text : {"", "a", "序号 links", "\xF0\x9F\x98\x80x",
                                   "a\xE4\xB8\xAD\xC0\x80", "\xFF", "\xE4\xB8", "\xED\xA0\x80"}) {
        EXPECT_EQ(ProgramTextToQString(text), QString::fromStdU16String(ProgramTextToUtf16(text)))
            << text;
    }
}

// Appending in pieces that end between characters gives the conversion of the whole; the
// string grows from empty and from one that has text.
TEST(AppendUtf8, PiecesGiveTheWholeConversion) {
    const std::vector<std::string> pieces = {"序号 ", "", "\xF0\x9F\x98\x80x\xFF",
                                             std::string(3000, 'a'), "\xE4\xB8\xAD\r\n"};
    for (const QString& start : {QString(), QStringLiteral("前")}) {
        QString appended = start;
        std::string whole;
        for (const std::string& piece : pieces) {
            AppendUtf8(appended, piece);
            whole += piece;
        }
        EXPECT_EQ(appended, start + ProgramTextToQString(whole));
    }
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

// The table the model holds changes only by whole new tables and edits; through every shape
// a new table can take, the model must stay consistent.
TEST(ResultTableModel, NewTablesAndEditsKeepTheModelConsistent) {
    WarningRecorder recorder;
    ResultTableModel model;
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model.ReplaceTable(SmallRunTable());
    EXPECT_TRUE(model.setData(model.index(1, 1), QStringLiteral("edited")));
    EXPECT_EQ(Shown(model), "m1|g1/m2|edited");

    // Without the header row and the number column every cell is a data cell.
    ResultTable no_fixed_cells = SmallRunTable();
    no_fixed_cells.DeleteRow(0);
    no_fixed_cells.DeleteColumn(0);
    model.ReplaceTable(std::move(no_fixed_cells));
    EXPECT_EQ(model.CornerText(), "");
    EXPECT_EQ(Headers(model, Qt::Horizontal), "|");
    EXPECT_EQ(Shown(model), "m1|g1/m2|g2");

    ResultTable empty;
    while (empty.RowCount() > 0) empty.DeleteRow(empty.RowCount() - 1);
    while (empty.ColumnCount() > 0) empty.DeleteColumn(empty.ColumnCount() - 1);
    model.ReplaceTable(std::move(empty));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);

    model.ReplaceTable(ResultTable());
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(Shown(model), "|||/|||/|||/|||");
    EXPECT_EQ(WarningRecorder::warnings().toStdString(), "");
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

// What a cell shows and its tooltip are bounded; the editor, copying and the export (through
// GetCell) keep the whole text.
TEST(ResultTableModel, ShowsAndTipsABoundedTextButEditsTheWholeOne) {
    const std::string chinese_word = "中文";  // two characters of three bytes each
    const struct {
        const char* name;
        std::string text;
        QString shown;
    } cases[] = {
        {"empty", "", ""},
        {"short", "a<b>&c", "a<b>&c"},
        {"exactly the bound", std::string(kShownCellCharacters, 'x'),
         QString(kShownCellCharacters, 'x')},
        {"one character more", std::string(kShownCellCharacters + 1, 'x'),
         QString(kShownCellCharacters, 'x') + QChar(0x2026)},
        {"many megabytes", std::string(20'000'000, 'y'),
         QString(kShownCellCharacters, 'y') + QChar(0x2026)},
        {"multibyte characters cut between characters",
         [&] {
             std::string text;
             for (int i = 0; i < 3000; ++i) text += chinese_word;
             return text;
         }(),
         QString::fromUtf8("中文").repeated(kShownCellCharacters / 2) + QChar(0x2026)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResultTableModel model;
        model.ReplaceTable(MakeTable({{"序号", "匹配文本"}, {"1", c.text}}));
        const QModelIndex cell = model.index(0, 0);
        EXPECT_EQ(model.data(cell, Qt::DisplayRole).toString(), c.shown);
        EXPECT_EQ(model.data(cell, Qt::EditRole).toString().size(),
                  QString::fromStdString(c.text).size());
        const QVariant tip = model.data(cell, Qt::ToolTipRole);
        if (c.text.empty()) {
            EXPECT_FALSE(tip.isValid());
        } else {
            EXPECT_EQ(tip.toString(), QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
                                          .arg(WrappedToolTipLines(c.shown).toHtmlEscaped()));
        }
        EXPECT_EQ(model.Table().GetCell(1, 1)->size(), c.text.size());
    }
}

TEST(WrappedToolTipLines, BreaksLongLinesEveryEightyCharacters) {
    const QString a80(80, QLatin1Char('a'));
    const QString emoji = QString::fromUtf8("😀");  // a surrogate pair
    const struct {
        const char* name;
        QString text;
        QString wrapped;
    } cases[] = {
        {"short", "abc", "abc"},
        {"exactly one line", a80, a80},
        {"one more", a80 + "b", a80 + "\nb"},
        {"2,000 characters", QString(2000, QLatin1Char('a')), (a80 + "\n").repeated(24) + a80},
        {"line breaks of its own restart the count", "xy\n" + a80 + "\nz", "xy\n" + a80 + "\nz"},
        {"never inside a surrogate pair", QString(79, QLatin1Char('a')) + emoji + "b",
         QString(79, QLatin1Char('a')) + emoji + "\nb"},
    };
    for (const auto& c : cases) EXPECT_EQ(WrappedToolTipLines(c.text), c.wrapped) << c.name;
}

}  // namespace
}  // namespace lintaro
