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

void WriteMatchesTsv(const std::vector<std::string>& headings, const SearchResults& results,
                     std::string_view text, std::ostream& out, bool with_header,
                     std::string_view line_start) {
    const bool is_utf8 = ProgramCharsetIsUtf8();
    std::string line;
    line.reserve(kBlockBytes * 2);
    const auto write_block = [&] {
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        line.clear();
    };
    const auto append_cell = [&](std::string_view cell) {
        // Escape after converting: in a double-byte set a backslash byte can be half of a
        // character, in UTF-8 never.
        if (is_utf8) {
            AppendTsvCell(line, cell);
        } else {
            AppendTsvCell(line, ProgramTextToUtf8(cell));
        }
    };
    if (with_header) {
        if (!line_start.empty()) line += '\t';
        for (std::size_t k = 0; k < headings.size(); ++k) {
            if (k > 0) line += '\t';
            append_cell(headings[k]);
        }
        line += '\n';
    }
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
                append_cell(match.GetSubMatchText(text, k));
            }
            line += '\n';
            if (line.size() >= kBlockBytes) write_block();
        }
    });
    write_block();
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
