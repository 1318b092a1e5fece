// The selected block of the result table as tab-separated text, as spreadsheets copy it.
#pragma once

#include <string>

#include "table/result_table.h"
#include "table/selection_rect.h"

namespace lintaro {

// The cells of rect, one line per row ending in "\n", cells separated by a tab. A cell that
// holds a tab, CR or LF is quoted with its quotes doubled, so that a spreadsheet pastes it
// back into one cell; every other cell, one with quotes too, is copied exactly. One cell
// alone gives its text exactly, without quotes or line end. An empty rect gives the empty text.
std::string TabSeparatedText(const ResultTable& table, const SelectionRect& rect);

}  // namespace lintaro
