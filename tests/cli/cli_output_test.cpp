// Tests of lintaro-cli's tab-separated table output.
#include "cli/cli_output.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>
#include <string>
#include <vector>

#include "match/regex.h"
#include "support/table_builder.h"

namespace lintaro {
namespace {

// The rows the window's table shows for the matches: header, number, whole match and groups
// (empty when a group took no part), with escapes; with a line start before each row and an
// empty first field in the header.
TEST(CliOutputTest, WritesTheTablesRowsWithEscapes) {
    const std::string text = "h\\d a\tb\r\nc x";
    regex expression;
    ASSERT_TRUE(expression.Compile("(h\\S+)|(a\\s+b\\s+)(c)|(z)?x", true));
    const SearchResults results = expression.SearchAll(text);
    const std::vector<std::string> headings = {"N", "M", "G1", "G2", "G3", "G4"};
    std::ostringstream out;
    MatchRowsLayout with_path;
    with_path.path = "f";
    WriteMatchRows(headings, results, text, with_path, out);
    EXPECT_EQ(out.str(),
              "\tN\tM\tG1\tG2\tG3\tG4\n"
              "f\t1\th\\\\d\th\\\\d\t\t\t\n"
              "f\t2\ta\\tb\\r\\nc\t\ta\\tb\\r\\n\tc\t\n"
              "f\t3\tx\t\t\t\t\n");
    std::ostringstream rows_only;
    MatchRowsLayout without_header;
    without_header.header = false;
    WriteMatchRows(headings, SearchResults(4), text, without_header, rows_only);
    EXPECT_EQ(rows_only.str(), "");
}

// The output goes out in blocks of about a megabyte: rows, cells and escapes that straddle a
// block's end come out whole, and the output equals the rows written one by one.
TEST(CliOutputTest, ManyMatchesEqualTheirRowsOneByOne) {
    std::string text;
    for (int row = 0; row < 6000; ++row) {
        text += std::string(static_cast<std::size_t>(row % 700), 'x') + "\\\t" +
                std::to_string(row) + "\n;";
    }
    regex expression;
    ASSERT_TRUE(expression.Compile("([^;]*);", true));
    const SearchResults results = expression.SearchAll(text);
    ASSERT_EQ(results.size(), 6000);
    std::string expected = "N\tM\tG1\n";
    for (std::int64_t match = 0; match < results.size(); ++match) {
        expected += std::to_string(match + 1);
        for (int k = 0; k < 2; ++k) {
            expected += '\t';
            AppendTsvCell(expected, results[match].GetSubMatchText(text, k));
        }
        expected += '\n';
    }
    std::ostringstream out;
    WriteMatchRows({"N", "M", "G1"}, results, text, {}, out);
    ASSERT_GT(expected.size(), std::size_t{2} << 20);
    // Not EXPECT_EQ: a difference would print megabytes.
    EXPECT_TRUE(out.str() == expected);
}

// A table, as the table operations leave it, is written with the same writers: its cells
// have no places in the text, so the JSON has none, and an empty group cell is a text.
TEST(CliOutputTest, WritesATablesRows) {
    const ResultTable table =
        MakeTable({{"N", "M", "G1", "G2"}, {"1", "a,b", "a", ""}, {"2", "c\"d", "c", "d"}});
    const struct {
        RowFormat format;
        IndexRange columns;
        std::string expected;
    } cases[] = {
        {RowFormat::kCsv, {1, 9}, "N,M,G1,G2\r\n1,\"a,b\",a,\r\n2,\"c\"\"d\",c,d\r\n"},
        {RowFormat::kTsv, {3, 3}, "N\tG2\n1\t\n2\td\n"},
        {RowFormat::kJson,
         {1, 2},
         "{\"number\":1,\"match\":\"a,b\",\"groups\":[{\"text\":\"a\"}]}\n"
         "{\"number\":2,\"match\":\"c\\\"d\",\"groups\":[{\"text\":\"c\"}]}\n"},
    };
    for (const auto& c : cases) {
        MatchRowsLayout layout;
        layout.format = c.format;
        layout.columns = c.columns;
        std::ostringstream out;
        WriteTableRows(table, layout, 0, out);
        EXPECT_EQ(out.str(), c.expected);
    }
}

// A table long enough to be formatted in stretches by several threads is written as one
// thread writes it, in every format.
TEST(CliOutputTest, LongTablesAreWrittenInOrderByAnyNumberOfThreads) {
    std::vector<std::vector<std::string>> cells = {{"N", "M", "G1"}};
    for (int row = 1; row <= 40000; ++row) {
        cells.push_back({std::to_string(row), "m\t" + std::to_string(row * 7),
                         "g,\"" + std::to_string(row % 13)});
    }
    const ResultTable table = MakeTable(cells);
    for (const RowFormat format : {RowFormat::kTsv, RowFormat::kCsv, RowFormat::kJson}) {
        MatchRowsLayout layout;
        layout.format = format;
        layout.columns = {2, 2};
        std::ostringstream alone;
        WriteTableRows(table, layout, 1, alone);
        EXPECT_EQ(std::ranges::count(alone.str(), '\n'),
                  format == RowFormat::kJson ? 40000 : 40001);
        for (const int threads : {0, 2, 3}) {
            std::ostringstream out;
            WriteTableRows(table, layout, threads, out);
            EXPECT_TRUE(out.str() == alone.str()) << threads;
        }
    }
}

// JSON strings: quotes, backslash and control characters escaped, broken UTF-8 as U+FFFD.
TEST(CliOutputTest, JsonStringsAreValid) {
    std::string line;
    AppendJsonString(line, "a\"\\\n\r\t\x01\x1F\x7F 中\xE4\xB8 \xFF");
    EXPECT_EQ(line,
              "\"a\\\"\\\\\\n\\r\\t\\u0001\\u001f\x7F 中\xEF\xBF\xBD\xEF\xBF\xBD "
              "\xEF\xBF\xBD\"");
}

TEST(CliOutputTest, CellEscapesAtEitherEndAndRunsBetween) {
    std::string line = "k";
    AppendTsvCell(line, "\\ab\tc\r\n\\");
    AppendTsvCell(line, "");
    AppendTsvCell(line, "plain");
    EXPECT_EQ(line, "k\\\\ab\\tc\\r\\n\\\\plain");
}

TEST(CliOutputTest, CellEscapesAreFoundAtEveryPlaceOfALongCell) {
    // Each escaped byte at every place of cells longer than one block of the byte scan,
    // among bytes that differ from it only in their top bit.
    for (const char special : {'\t', '\n', '\r', '\\'}) {
        for (std::size_t size = 1; size <= 40; ++size) {
            for (std::size_t at = 0; at < size; ++at) {
                std::string cell(size, static_cast<char>(special | 0x80));
                cell[at] = special;
                std::string line;
                AppendTsvCell(line, cell);
                const std::string escaped = special == '\t'   ? "\\t"
                                            : special == '\n' ? "\\n"
                                            : special == '\r' ? "\\r"
                                                              : "\\\\";
                std::string expected = cell;
                expected.replace(at, 1, escaped);
                EXPECT_EQ(line, expected) << "size " << size << ", at " << at;
            }
        }
    }
}

}  // namespace
}  // namespace lintaro
