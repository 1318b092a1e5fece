// Tests of lintaro-cli's tab-separated table output.
#include "cli/cli_output.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace lintaro {
namespace {

TEST(CliOutputTest, WritesEveryRowWithEscapes) {
    ResultTable table;
    table.SetCell(0, 1, "h\\d");
    table.SetCell(1, 2, "a\tb\r\nc");
    table.SetCell(4, 4, "中");
    std::ostringstream out;
    WriteTableTsv(table, out);
    EXPECT_EQ(out.str(),
              "\th\\\\d\t\t\t\n"
              "\t\ta\\tb\\r\\nc\t\t\n"
              "\t\t\t\t\n"
              "\t\t\t\t\n"
              "\t\t\t\t中\n");
}

// The output goes out in blocks of about a megabyte: rows, cells and escapes that straddle a
// block's end come out whole, and the output equals the rows written one by one.
TEST(CliOutputTest, LargeTableEqualsItsRowsOneByOne) {
    ResultTable table;
    for (int row = 0; row < 6000; ++row) {
        ASSERT_TRUE(table.InsertRow(std::to_string(row)));
        table.SetCell(table.RowCount() - 1, 1,
                      std::string(static_cast<std::size_t>(row % 700), 'x') + "\\\t" +
                          std::to_string(row) + "\n");
    }
    std::string expected;
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int column = 0; column < table.ColumnCount(); ++column) {
            if (column > 0) expected += '\t';
            AppendTsvCell(expected, table.GetCell(row, column).value_or(""));
        }
        expected += '\n';
    }
    std::ostringstream out;
    WriteTableTsv(table, out);
    ASSERT_GT(expected.size(), std::size_t{2} << 20);
    // Not EXPECT_EQ: a difference would print megabytes.
    EXPECT_TRUE(out.str() == expected);
}

TEST(CliOutputTest, CellEscapesAtEitherEndAndRunsBetween) {
    std::string line = "k";
    AppendTsvCell(line, "\\ab\tc\r\n\\");
    AppendTsvCell(line, "");
    AppendTsvCell(line, "plain");
    EXPECT_EQ(line, "k\\\\ab\\tc\\r\\n\\\\plain");
}

}  // namespace
}  // namespace lintaro
