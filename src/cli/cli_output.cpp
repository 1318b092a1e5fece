// What the batch program prints: the table as tab-separated lines and the matches' positions.
#include "cli/cli_output.h"

#include "base/program_text.h"

namespace lintaro {

void AppendTsvCell(std::string& line, std::string_view utf8_text) {
    for (const char c : utf8_text) {
        switch (c) {
            case '\t':
                line += "\\t";
                break;
            case '\r':
                line += "\\r";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\\':
                line += "\\\\";
                break;
            default:
                line += c;
        }
    }
}

void WriteTableTsv(const ResultTable& table, std::ostream& out) {
    const bool is_utf8 = ProgramCharsetIsUtf8();
    std::string line;
    for (int row = 0; row < table.RowCount(); ++row) {
        line.clear();
        for (int column = 0; column < table.ColumnCount(); ++column) {
            if (column > 0) line += '\t';
            const std::string_view text = table.GetCell(row, column).value_or("");
            // Escape after converting: in a double-byte set a backslash byte can be half of a
            // character, in UTF-8 never.
            if (is_utf8) {
                AppendTsvCell(line, text);
            } else {
                AppendTsvCell(line, ProgramTextToUtf8(text));
            }
        }
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

std::string FormatSpans(const SearchResults& results) {
    std::string out;
    for (std::int64_t i = 0; i < results.size(); ++i) {
        out += std::to_string(i + 1);
        for (int j = 0; j <= results.GroupCount(); ++j) {
            const SubMatchSpan span = results[i].Span(j);
            out += '\t';
            out += span.matched() ? std::to_string(span.offset) + "," + std::to_string(span.length)
                                  : "-";
        }
        out += '\n';
    }
    return out;
}

}  // namespace lintaro
