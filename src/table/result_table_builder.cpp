// The table a match run leaves: its headings, the widths of its columns and its colour.
#include "table/result_table_builder.h"

#include <utility>

#include "base/program_text.h"

namespace lintaro {

namespace {

constexpr int kNumberColumnWidth = 50;
constexpr int kGroupColumnWidth = 344;

}  // namespace

std::vector<std::string> ResultHeadings(int group_count) {
    std::vector<std::string> headings = {Utf8ToProgramText("序号"), Utf8ToProgramText("匹配文本")};
    const std::string group_heading = Utf8ToProgramText("子表达式匹配");
    for (int j = 1; j <= group_count; ++j) headings.push_back(group_heading + std::to_string(j));
    return headings;
}

ResultTable BuildResultTable(int group_count, std::shared_ptr<const TextBuffer> text,
                             std::shared_ptr<const SourceRows> rows,
                             HeadingWidthFunction heading_width) {
    ResultTable table(std::move(heading_width));
    table.ResetTable();
    for (int count = table.RowCount(); count > 0; --count) table.DeleteRow(table.RowCount() - 1);
    for (int count = table.ColumnCount(); count > 0; --count) {
        table.DeleteColumn(table.ColumnCount() - 1);
    }
    table.SetBackgroundColour(kWindowColour);
    // Inserting into the empty table creates the header row and the number column first.
    const std::vector<std::string> headings = ResultHeadings(group_count);
    table.InsertColumn(headings[1], 1);
    table.SetCell(0, 0, headings[0]);
    for (int j = 1; j <= group_count; ++j) {
        table.InsertColumn(headings[static_cast<std::size_t>(j) + 1], j + 1);
        table.SetColumnWidth(j + 1, kGroupColumnWidth);
    }
    table.SetColumnWidth(0, kNumberColumnWidth);

    table.ShareSource(std::move(text));
    table.AppendSourceRows(std::move(rows));
    return table;
}

}  // namespace lintaro
