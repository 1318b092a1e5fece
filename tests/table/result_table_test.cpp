// Tests of the result table's cell grid: operations, insert rules, fixed counts and bulk rows.
#include "table/result_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/listed_source_rows.h"

namespace lintaro {
namespace {

// Every cell, one line per row, cells separated by "|".
std::string Dump(const ResultTable& table) {
    std::string out;
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int column = 0; column < table.ColumnCount(); ++column) {
            if (column > 0) out += '|';
            out += *table.GetCell(row, column);
        }
        out += '\n';
    }
    return out;
}

// Sizes, fixed counts and colour, so that two tables can be compared as a whole.
std::string Shape(const ResultTable& table) {
    std::string out = std::to_string(table.RowCount()) + "x" + std::to_string(table.ColumnCount()) +
                      " fixed " + std::to_string(table.FixedRowCount()) + "," +
                      std::to_string(table.FixedColumnCount()) + " heights";
    for (int row = 0; row < table.RowCount(); ++row)
        out += " " + std::to_string(table.RowHeight(row));
    out += " widths";
    for (int c = 0; c < table.ColumnCount(); ++c) out += " " + std::to_string(table.ColumnWidth(c));
    const Rgb bg = table.BackgroundColour();
    out += " bg " + std::to_string(bg.red) + "," + std::to_string(bg.green) + "," +
           std::to_string(bg.blue);
    return out;
}

// A table of the given size whose cell (r, c) holds "rc".
ResultTable Labelled(int rows, int columns) {
    ResultTable table;
    while (table.RowCount() > rows) table.DeleteRow(table.RowCount() - 1);
    while (table.ColumnCount() > columns) table.DeleteColumn(table.ColumnCount() - 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            table.SetCell(r, c, std::to_string(r) + std::to_string(c));
    }
    return table;
}

ResultTable Emptied(HeadingWidthFunction heading_width = {}) {
    ResultTable table(std::move(heading_width));
    while (table.RowCount() > 0) table.DeleteRow(table.RowCount() - 1);
    while (table.ColumnCount() > 0) table.DeleteColumn(table.ColumnCount() - 1);
    return table;
}

TEST(ResultTable, StartsWithTheInitialSettings) {
    const ResultTable table;
    EXPECT_EQ(Shape(table),
              "5x5 fixed 1,1 heights 32 32 32 32 32 widths 125 125 125 125 125 bg 219,236,249");
    EXPECT_EQ(Dump(table), "||||\n||||\n||||\n||||\n||||\n");
}

TEST(ResultTable, ResetEmptiesCellsKeepsCountsAndTurnsWhite) {
    ResultTable table = Labelled(3, 4);
    table.SetColumnWidth(2, 7);
    table.SetBackgroundColour({1, 2, 3});
    table.InsertRow("x");  // row 3 ...
    table.DeleteRow(3);    // ... and gone again
    table.ResetTable();
    EXPECT_EQ(Shape(table), "3x4 fixed 1,1 heights 32 32 32 widths 125 125 125 125 bg 255,255,255");
    EXPECT_EQ(Dump(table), "|||\n|||\n|||\n");
}

TEST(ResultTable, ResetOfAnEmptyTableLeavesOneCell) {
    ResultTable table = Emptied();
    table.ResetTable();
    EXPECT_EQ(Shape(table), "1x1 fixed 1,1 heights 32 widths 125 bg 255,255,255");

    ResultTable no_columns = Labelled(2, 0);
    no_columns.ResetTable();
    EXPECT_EQ(Shape(no_columns), "2x1 fixed 1,1 heights 32 32 widths 125 bg 255,255,255");
}

TEST(ResultTable, FirstInsertIntoAnEmptyTableCreatesHeaderRowAndNumberColumn) {
    ResultTable column_first =
        Emptied([](std::string_view heading) { return static_cast<int>(heading.size()) * 10; });
    EXPECT_TRUE(column_first.InsertColumn("匹配文本", 1));
    EXPECT_EQ(Shape(column_first), "1x2 fixed 1,1 heights 32 widths 125 120 bg 219,236,249");
    EXPECT_EQ(Dump(column_first), "|匹配文本\n");

    ResultTable row_first = Emptied();
    EXPECT_TRUE(row_first.InsertRow("1", 1));
    EXPECT_EQ(Shape(row_first), "2x1 fixed 1,1 heights 32 32 widths 125 bg 219,236,249");
    EXPECT_EQ(Dump(row_first), "\n1\n");
}

TEST(ResultTable, InsertWithoutFixedHeadersCreatesOnlyWhatIsMissing) {
    // Rows gone but the number column still fixed: the first row is a plain row, 24 high.
    ResultTable no_rows = Labelled(0, 2);
    ASSERT_EQ(no_rows.FixedColumnCount(), 1);
    EXPECT_TRUE(no_rows.InsertRow("h"));
    EXPECT_TRUE(no_rows.InsertRow("i"));
    EXPECT_EQ(Shape(no_rows), "2x2 fixed 0,1 heights 24 24 widths 125 125 bg 219,236,249");
    EXPECT_EQ(Dump(no_rows), "h|\ni|\n");

    // Columns gone but the header row still fixed: the new column is a plain column.
    ResultTable no_columns = Labelled(2, 0);
    EXPECT_TRUE(no_columns.InsertColumn("abc"));
    EXPECT_EQ(Shape(no_columns), "2x1 fixed 1,0 heights 32 32 widths 33 bg 219,236,249");
    EXPECT_EQ(Dump(no_columns), "abc\n\n");
}

struct PositionCase {
    const char* name;
    std::optional<int> position;
    int expected_index;
};

class InsertPosition : public testing::TestWithParam<PositionCase> {};

// On a 3 x 3 table with one fixed row and column: missing, below-fixed and out-of-range
// positions append; inner positions insert and move the rest on.
INSTANTIATE_TEST_SUITE_P(ResultTable, InsertPosition,
                         testing::Values(PositionCase{"Missing", std::nullopt, 3},
                                         PositionCase{"Negative", -1, 3},
                                         PositionCase{"BelowFixed", 0, 3},
                                         PositionCase{"First", 1, 1}, PositionCase{"Inner", 2, 2},
                                         PositionCase{"AtCount", 3, 3},
                                         PositionCase{"BeyondCount", 99, 3}),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_P(InsertPosition, Column) {
    ResultTable table = Labelled(3, 3);
    table.SetColumnWidth(1, 11);
    table.SetColumnWidth(2, 22);
    ASSERT_TRUE(table.InsertColumn("new", GetParam().position));
    ASSERT_EQ(table.ColumnCount(), 4);
    const int at = GetParam().expected_index;
    std::vector<std::string> row0 = {"00", "01", "02"};
    std::vector<std::string> row2 = {"20", "21", "22"};
    std::vector<int> widths = {125, 11, 22};
    row0.insert(row0.begin() + at, "new");
    row2.insert(row2.begin() + at, "");
    widths.insert(widths.begin() + at, 33);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(*table.GetCell(0, c), row0[c]) << c;
        EXPECT_EQ(*table.GetCell(2, c), row2[c]) << c;
        EXPECT_EQ(table.ColumnWidth(c), widths[c]) << c;
    }
}

TEST_P(InsertPosition, Row) {
    ResultTable table = Labelled(3, 3);
    ASSERT_TRUE(table.InsertRow("new", GetParam().position));
    ASSERT_EQ(table.RowCount(), 4);
    const int at = GetParam().expected_index;
    std::vector<std::string> column0 = {"00", "10", "20"};
    std::vector<std::string> column2 = {"02", "12", "22"};
    column0.insert(column0.begin() + at, "new");
    column2.insert(column2.begin() + at, "");
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(*table.GetCell(r, 0), column0[r]) << r;
        EXPECT_EQ(*table.GetCell(r, 2), column2[r]) << r;
        EXPECT_EQ(table.RowHeight(r), 32) << r;
    }
}

TEST(ResultTable, DeletingFixedRowsAndColumnsLowersTheFixedCounts) {
    ResultTable table = Labelled(3, 3);
    EXPECT_TRUE(table.DeleteRow(0));
    EXPECT_EQ(table.FixedRowCount(), 0);
    EXPECT_EQ(Dump(table), "10|11|12\n20|21|22\n");
    EXPECT_TRUE(table.DeleteColumn(1));
    EXPECT_EQ(table.FixedColumnCount(), 1);
    EXPECT_TRUE(table.DeleteColumn(0));
    EXPECT_EQ(table.FixedColumnCount(), 0);
    EXPECT_EQ(Dump(table), "12\n22\n");

    // Deleting the last row again and again: no fixed rows remain.
    ResultTable from_the_end = Labelled(3, 3);
    while (from_the_end.RowCount() > 0) {
        EXPECT_TRUE(from_the_end.DeleteRow(from_the_end.RowCount() - 1));
    }
    EXPECT_EQ(from_the_end.FixedRowCount(), 0);
    EXPECT_EQ(from_the_end.FixedColumnCount(), 1);
    EXPECT_EQ(from_the_end.ColumnCount(), 3);
}

TEST(ResultTable, IndexesOutsideTheTableChangeNothing) {
    ResultTable table = Labelled(3, 4);
    const std::string cells = Dump(table);
    const std::string shape = Shape(table);
    EXPECT_FALSE(table.DeleteRow(-1));
    EXPECT_FALSE(table.DeleteRow(3));
    EXPECT_FALSE(table.DeleteColumn(-1));
    EXPECT_FALSE(table.DeleteColumn(4));
    EXPECT_FALSE(table.SetColumnWidth(4, 10));
    EXPECT_FALSE(table.SetColumnWidth(-1, 10));
    EXPECT_FALSE(table.SetColumnWidth(1, -1));
    for (const auto& [row, column] :
         std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {3, 0}, {0, 4}}) {
        table.SetCell(row, column, "x");
        EXPECT_EQ(table.GetCell(row, column), std::nullopt) << row << "," << column;
    }
    EXPECT_EQ(table.RowHeight(3), -1);
    EXPECT_EQ(table.ColumnWidth(4), -1);
    EXPECT_EQ(Dump(table), cells);
    EXPECT_EQ(Shape(table), shape);
}

TEST(ResultTable, EmptyCellInsideIsTheEmptyTextNotTheMarker) {
    const ResultTable table;
    const CellResult inside = table.GetCell(4, 4);
    ASSERT_TRUE(inside.has_value());
    EXPECT_EQ(*inside, "");
    EXPECT_FALSE(table.GetCell(4, 5).has_value());
}

TEST(ResultTable, SetCellReachesFixedCellsAndWidthZeroIsAllowed) {
    ResultTable table;
    table.SetCell(0, 0, "序号");
    table.SetCell(0, 3, "head");
    table.SetCell(2, 0, "2");
    EXPECT_EQ(*table.GetCell(0, 0), "序号");
    EXPECT_EQ(*table.GetCell(0, 3), "head");
    EXPECT_EQ(*table.GetCell(2, 0), "2");
    EXPECT_TRUE(table.SetColumnWidth(4, 0));
    EXPECT_EQ(table.ColumnWidth(4), 0);
}

TEST(ResultTable, CellsCopiedFromTheTableItselfStayIntact) {
    ResultTable table;
    const std::string long_text(5000, 'q');
    table.SetCell(1, 1, long_text);
    for (int row = 1; row < 5; ++row) table.SetCell(row, 2, *table.GetCell(1, 1));
    table.SetCell(1, 1, *table.GetCell(1, 1));
    table.SetCell(3, 3, table.GetCell(1, 1)->substr(10, 3));
    for (int row = 1; row < 5; ++row) EXPECT_EQ(*table.GetCell(row, 2), long_text) << row;
    EXPECT_EQ(*table.GetCell(1, 1), long_text);
    EXPECT_EQ(*table.GetCell(3, 3), "qqq");
}

TEST(ResultTable, ManyEditsKeepEveryText) {
    // Enough overwriting to leave megabytes of abandoned text behind.
    ResultTable table;
    for (int round = 0; round < 40; ++round) {
        for (int row = 1; row < 5; ++row) {
            table.SetCell(row, 1, std::string(20000, static_cast<char>('a' + round % 26)));
            table.SetCell(row, 2, std::to_string(round * 10 + row));
        }
        table.DeleteRow(4);
        table.InsertRow("4");
    }
    for (int row = 1; row < 4; ++row) {
        EXPECT_EQ(*table.GetCell(row, 1), std::string(20000, 'n')) << row;
        EXPECT_EQ(*table.GetCell(row, 2), std::to_string(390 + row)) << row;
    }
    EXPECT_EQ(*table.GetCell(4, 0), "4");
    EXPECT_EQ(*table.GetCell(4, 1), "");
}

// Builds the table a match run builds: the header row, G group columns and one row per
// match, either cell by cell or with the bulk path.
struct RunShape {
    int groups;
    std::vector<std::vector<SourceSpan>> rows;  // spans of the whole match and each group
};

ResultTable RunTableHead(int groups) {
    ResultTable table;
    table.ResetTable();
    while (table.RowCount() > 0) table.DeleteRow(table.RowCount() - 1);
    while (table.ColumnCount() > 0) table.DeleteColumn(table.ColumnCount() - 1);
    table.SetBackgroundColour(table_defaults::kBackground);
    table.InsertColumn("匹配文本", 1);
    table.SetCell(0, 0, "序号");
    for (int j = 1; j <= groups; ++j) {
        table.InsertColumn("子表达式匹配" + std::to_string(j), j + 1);
        table.SetColumnWidth(j + 1, 344);
    }
    table.SetColumnWidth(0, 50);
    return table;
}

TEST(ResultTable, BulkRowsEqualInsertRowAndSetCell) {
    auto source = std::make_shared<const TextBuffer>(std::string("<a>alpha</a> <a>beta</a>"));
    const auto cut = [&](const SourceSpan& span) {
        if (span.length <= 0 || span.offset < 0 ||
            span.offset >= static_cast<std::int64_t>(source->Size())) {
            return std::string();
        }
        return std::string(source->View().substr(static_cast<std::size_t>(span.offset),
                                                 static_cast<std::size_t>(span.length)));
    };
    const std::vector<std::vector<SourceSpan>> rows = {
        {{0, 12}, {3, 5}},            // whole match and group 1
        {{13, 11}, {0, 0}},           // a group that matched nothing
        {{13, 11}, {16, -1}},         // a group that took no part
        {{13, 11}, {16, 4}, {1, 1}},  // more spans than columns
        {{20, 100}},                  // fewer spans; one past the source's end
        {},
    };
    ResultTable by_cells = RunTableHead(1);
    ResultTable in_bulk = RunTableHead(1);
    in_bulk.ShareSource(source);
    in_bulk.AppendSourceRows(std::make_shared<const ListedSourceRows>(rows));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        by_cells.InsertRow(number, static_cast<int>(i + 1));
        for (std::size_t k = 0; k < rows[i].size(); ++k) {
            by_cells.SetCell(static_cast<int>(i + 1), static_cast<int>(k + 1), cut(rows[i][k]));
        }
    }
    EXPECT_EQ(Dump(by_cells),
              "序号|匹配文本|子表达式匹配1\n"
              "1|<a>alpha</a>|alpha\n"
              "2|<a>beta</a>|\n"
              "3|<a>beta</a>|\n"
              "4|<a>beta</a>|beta\n"
              "5|</a>|\n"
              "6||\n");
    EXPECT_EQ(Dump(in_bulk), Dump(by_cells));
    EXPECT_EQ(Shape(in_bulk), Shape(by_cells));
    EXPECT_EQ(Shape(in_bulk),
              "7x3 fixed 1,1 heights 32 32 32 32 32 32 32 widths 50 68 344 bg 219,236,249");

    // Edited in place, a bulk cell keeps its own text; a row or column change then stores the
    // rows in the grid without changing any text.
    for (ResultTable* table : {&by_cells, &in_bulk}) {
        table->SetCell(2, 1, "edited");
        table->SetCell(3, 0, *table->GetCell(1, 1));
        table->SetCell(4, 2, "");
    }
    EXPECT_EQ(Dump(in_bulk), Dump(by_cells));
    EXPECT_EQ(*in_bulk.GetCell(3, 0), "<a>alpha</a>");
    for (ResultTable* table : {&by_cells, &in_bulk}) table->DeleteRow(1);
    EXPECT_EQ(Dump(in_bulk), Dump(by_cells));
    EXPECT_EQ(Shape(in_bulk), Shape(by_cells));
}

TEST(ResultTable, BulkRowNumbersAcrossDigitCounts) {
    auto source = std::make_shared<const TextBuffer>(std::string("x"));
    ResultTable table = RunTableHead(0);
    table.ShareSource(source);
    table.AppendSourceRows(std::make_shared<const ListedSourceRows>(
        std::vector<std::vector<SourceSpan>>(1200, {{0, 1}})));
    ASSERT_EQ(table.RowCount(), 1201);
    for (const int number : {1, 9, 10, 11, 99, 100, 101, 999, 1000, 1200}) {
        EXPECT_EQ(*table.GetCell(number, 0), std::to_string(number));
        EXPECT_EQ(*table.GetCell(number, 1), "x");
    }
}

TEST(ResultTable, BulkRowIntoAnEmptyTableCreatesTheHeaders) {
    auto source = std::make_shared<const TextBuffer>(std::string("xyz"));
    ResultTable table = Emptied();
    table.ShareSource(source);
    // One column only: the span has no cell to go to.
    table.AppendSourceRows(
        std::make_shared<const ListedSourceRows>(std::vector<std::vector<SourceSpan>>{{{1, 2}}}));
    EXPECT_EQ(Shape(table), "2x1 fixed 1,1 heights 32 32 widths 125 bg 219,236,249");
    EXPECT_EQ(Dump(table), "\n1\n");
}

TEST(ResultTable, CellsKeepTheirTextWhenTheSourceIsReplacedOrTheTableCopied) {
    auto first = std::make_shared<const TextBuffer>(std::string("first source"));
    ResultTable table = RunTableHead(0);
    table.ShareSource(first);
    const auto rows =
        std::make_shared<const ListedSourceRows>(std::vector<std::vector<SourceSpan>>{{{0, 5}}});
    table.AppendSourceRows(rows);
    table.ShareSource(std::make_shared<const TextBuffer>(std::string("second source")));
    table.AppendSourceRows(rows);
    first.reset();  // the table must not need it any more
    const ResultTable copy = table;
    table.ResetTable();
    EXPECT_EQ(Dump(copy), "序号|匹配文本\n1|first\n1|secon\n");
}

// Rows appended while no source was shared show empty cells, also once a source comes.
TEST(ResultTable, RowsWithoutASourceStayEmptyWhenOneIsSharedLater) {
    ResultTable table = RunTableHead(0);
    table.AppendSourceRows(
        std::make_shared<const ListedSourceRows>(std::vector<std::vector<SourceSpan>>{{{0, 5}}}));
    table.ShareSource(std::make_shared<const TextBuffer>(std::string("later source")));
    EXPECT_EQ(Dump(table), "序号|匹配文本\n1|\n");
}

TEST(ResultTable, DefaultHeadingWidthEstimate) {
    const struct {
        std::string_view heading;
        int width;
    } cases[] = {{"", 12}, {"abc", 33}, {"匹配文本", 68}, {"子表达式匹配1", 103}};
    for (const auto& c : cases) EXPECT_EQ(EstimateHeadingWidth(c.heading), c.width) << c.heading;
    ResultTable table = Labelled(1, 1);
    table.InsertColumn("子表达式匹配1");
    EXPECT_EQ(table.ColumnWidth(1), 103);
}

}  // namespace
}  // namespace lintaro
