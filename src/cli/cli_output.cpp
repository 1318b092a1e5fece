// What the batch program prints: the table as tab-separated lines and the matches' positions.
#include "cli/cli_output.h"

#include <array>
#include <charconv>
#include <span>

#include "base/program_text.h"
#include "cli/standard_input_files.h"

namespace lintaro {

namespace {

// The output is collected in blocks of this size and written a block at a time.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

// The escape of each byte of a cell: empty for the bytes written as they are.
constexpr std::array<std::string_view, 256> kTsvEscapes = [] {
    std::array<std::string_view, 256> escapes{};
    escapes['\t'] = "\\t";
    escapes['\r'] = "\\r";
    escapes['\n'] = "\\n";
    escapes['\\'] = "\\\\";
    return escapes;
}();

}  // namespace

void AppendTsvCell(std::string& line, std::string_view utf8_text) {
    // Runs of bytes that need no escape are appended whole; one table look-up per byte finds
    // the few that do.
    std::size_t run = 0;
    for (std::size_t i = 0; i < utf8_text.size(); ++i) {
        const std::string_view escape = kTsvEscapes[static_cast<unsigned char>(utf8_text[i])];
        if (escape.empty()) continue;
        line.append(utf8_text.substr(run, i - run));
        line.append(escape);
        run = i + 1;
    }
    line.append(utf8_text.substr(run));
}

std::string LineStart(const std::string& path) {
    std::string start;
    AppendTsvCell(start, path == kStandardInputName ? "(standard input)" : path);
    return start + '\t';
}

namespace {

// Tab-separated lines collected in blocks: the cells (program text) written as UTF-8 with
// their escapes, the header line the same way for both writers.
class TsvLines {
  public:
    explicit TsvLines(std::ostream& out) : out_(out), is_utf8_(ProgramCharsetIsUtf8()) {
        line_.reserve(kBlockBytes * 2);
    }
    std::string& Line() { return line_; }
    void AppendCell(std::string_view cell) {
        // Escape after converting: in a double-byte set a backslash byte can be half of a
        // character, in UTF-8 never.
        if (is_utf8_) {
            AppendTsvCell(line_, cell);
        } else {
            AppendTsvCell(line_, ProgramTextToUtf8(cell));
        }
    }
    // The header line; it gets an empty first field when lines start with a file's path.
    void AppendHeader(const std::vector<std::string>& headings, std::string_view line_start) {
        if (!line_start.empty()) line_ += '\t';
        for (std::size_t k = 0; k < headings.size(); ++k) {
            if (k > 0) line_ += '\t';
            AppendCell(headings[k]);
        }
        line_ += '\n';
    }
    void EndLine() {
        line_ += '\n';
        if (line_.size() >= kBlockBytes) Flush();
    }
    void Flush() {
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
        line_.clear();
    }

  private:
    std::ostream& out_;
    bool is_utf8_;
    std::string line_;
};

}  // namespace

void WriteMatchesTsv(const std::vector<std::string>& headings, const SearchResults& results,
                     std::string_view text, std::ostream& out, bool with_header,
                     std::string_view line_start) {
    TsvLines lines(out);
    std::string& line = lines.Line();
    if (with_header) lines.AppendHeader(headings, line_start);
    // The matches in the order they are stored, each cut out of its run of records.
    const int records = results.GroupCount() + 1;
    const std::size_t match_words =
        static_cast<std::size_t>(records) * WordsPerRecord(results.Width());
    std::int64_t number = 0;
    char digits[24];
    results.VisitRecords(0, [&](std::span<const std::uint32_t> words) {
        for (std::size_t at = 0; at + match_words <= words.size(); at += match_words) {
            const SearchResult match(words.subspan(at, match_words), results.Width());
            line += line_start;
            line.append(digits, std::to_chars(digits, digits + sizeof digits, ++number).ptr);
            for (int k = 0; k < records; ++k) {
                line += '\t';
                lines.AppendCell(match.GetSubMatchText(text, k));
            }
            lines.EndLine();
        }
    });
    lines.Flush();
}

void WriteTableTsv(const ResultTable& table, std::ostream& out, bool with_header,
                   std::string_view line_start) {
    TsvLines lines(out);
    if (with_header && table.FixedRowCount() > 0) {
        std::vector<std::string> headings;
        headings.reserve(static_cast<std::size_t>(table.ColumnCount()));
        for (int column = 0; column < table.ColumnCount(); ++column) {
            headings.emplace_back(table.GetCell(0, column).value_or(std::string_view()));
        }
        lines.AppendHeader(headings, line_start);
    }
    for (int row = table.FixedRowCount(); row < table.RowCount(); ++row) {
        lines.Line() += line_start;
        for (int column = 0; column < table.ColumnCount(); ++column) {
            if (column > 0) lines.Line() += '\t';
            lines.AppendCell(table.GetCell(row, column).value_or(std::string_view()));
        }
        lines.EndLine();
    }
    lines.Flush();
}

std::string FormatSpans(const SearchResults& results, std::string_view line_start) {
    std::string out;
    for (std::int64_t i = 0; i < results.size(); ++i) {
        out += line_start;
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
