// The table a match run leaves: its headings, the widths of its columns and its colour.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/text_buffer.h"
#include "table/result_table.h"

namespace lintaro {

// The headings of the result table's columns in program text: "序号", "匹配文本", then
// "子表达式匹配" + j for each of the group_count groups.
std::vector<std::string> ResultHeadings(int group_count);

// The same table as emptying the window's table operation by operation and inserting the
// header row, one column per group and one row per match. The match rows are read from rows
// (cells of text) when asked for, so no cell text is copied.
ResultTable BuildResultTable(int group_count, std::shared_ptr<const TextBuffer> text,
                             std::shared_ptr<const SourceRows> rows,
                             HeadingWidthFunction heading_width);

}  // namespace lintaro
