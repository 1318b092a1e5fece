// The selected block of the result table as tab-separated text, as spreadsheets copy it.
#include "table/tab_separated_text.h"

#include <string_view>

namespace lintaro {

namespace {

// Only a tab or a line break would split the cell when pasted; any other text, quotes
// included, goes as it stands.
void AppendCell(std::string& out, std::string_view text) {
    if (text.find_first_of("\t\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string TabSeparatedText(const ResultTable& table, const SelectionRect& rect) {
    std::string out;
    if (rect.IsEmpty()) return out;
    // One cell is one piece of text, pasted where a single value goes: exactly as it stands.
    if (rect.first_row == rect.last_row && rect.first_column == rect.last_column) {
        return std::string(table.GetCell(rect.first_row, rect.first_column).value_or(""));
    }
    for (int row = rect.first_row; row <= rect.last_row; ++row) {
        for (int column = rect.first_column; column <= rect.last_column; ++column) {
            if (column > rect.first_column) out += '\t';
            AppendCell(out, table.GetCell(row, column).value_or(std::string_view()));
        }
        out += '\n';
    }
    return out;
}

}  // namespace lintaro
