// What the batch program prints: the table as tab-separated lines and the matches' positions.
#include "cli/cli_output.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <mutex>
#include <new>
#include <optional>
#include <span>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/processors.h"
#include "base/utf8_sequence.h"
#include "cli/ordered_file_runs.h"
#include "cli/standard_input_files.h"

namespace lintaro {

namespace {

// The escape of each byte of a cell: empty for the bytes written as they are.
constexpr std::array<std::string_view, 256> kTsvEscapes = [] {
    std::array<std::string_view, 256> escapes{};
    escapes['\t'] = "\\t";
    escapes['\r'] = "\\r";
    escapes['\n'] = "\\n";
    escapes['\\'] = "\\\\";
    return escapes;
}();

// Where the first byte at or after from that needs an escape is; the text's size if none.
// Cells are mostly long runs without one, so sixteen bytes are tested at a time.
std::size_t NextTsvEscape(std::string_view text, std::size_t from) {
#ifdef __SSE2__
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i carriage_return = _mm_set1_epi8('\r');
    const __m128i backslash = _mm_set1_epi8('\\');
    for (; from + 16 <= text.size(); from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, line_feed)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, carriage_return), _mm_cmpeq_epi8(bytes, backslash)));
        if (const int mask = _mm_movemask_epi8(hits); mask != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
        }
    }
#endif
    for (; from < text.size(); ++from) {
        if (!kTsvEscapes[static_cast<unsigned char>(text[from])].empty()) return from;
    }
    return text.size();
}

}  // namespace

void AppendTsvCell(std::string& line, std::string_view utf8_text) {
    // Runs of bytes that need no escape are appended whole.
    std::size_t run = 0;
    for (std::size_t at = NextTsvEscape(utf8_text, 0); at < utf8_text.size();
         at = NextTsvEscape(utf8_text, run)) {
        line.append(utf8_text.substr(run, at - run));
        line.append(kTsvEscapes[static_cast<unsigned char>(utf8_text[at])]);
        run = at + 1;
    }
    line.append(utf8_text.substr(run));
}

std::string LineStart(const std::string& path) {
    std::string start;
    AppendTsvCell(start, path == kStandardInputName ? "(standard input)" : path);
    return start + '\t';
}

void AppendCsvField(std::string& line, std::string_view utf8_text) {
    if (utf8_text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(utf8_text);
        return;
    }
    line += '"';
    for (const char byte : utf8_text) {
        if (byte == '"') line += '"';
        line += byte;
    }
    line += '"';
}

void AppendJsonString(std::string& line, std::string_view utf8_text) {
    constexpr char kHex[] = "0123456789abcdef";
    line += '"';
    for (std::size_t i = 0; i < utf8_text.size();) {
        const auto byte = static_cast<unsigned char>(utf8_text[i]);
        if (byte >= 0x80) {
            char32_t value = 0;
            const std::size_t length = WellFormedUtf8Length(utf8_text.substr(i), value);
            if (length == 0) {
                line += "\xEF\xBF\xBD";
                ++i;
            } else {
                line.append(utf8_text.substr(i, length));
                i += length;
            }
            continue;
        }
        ++i;
        if (byte == '"' || byte == '\\') {
            line += '\\';
            line += static_cast<char>(byte);
        } else if (byte == '\n') {
            line += "\\n";
        } else if (byte == '\r') {
            line += "\\r";
        } else if (byte == '\t') {
            line += "\\t";
        } else if (byte < 0x20) {
            line += "\\u00";
            line += kHex[byte >> 4];
            line += kHex[byte & 0xF];
        } else {
            line += static_cast<char>(byte);
        }
    }
    line += '"';
}

namespace {

// The layout's columns that the table's first_data .. last_data columns hold, if any.
std::optional<IndexRange> ColumnsThere(const MatchRowsLayout& layout, int last_data) {
    const int last = std::min(layout.columns.last, last_data);
    if (layout.columns.first > last) return std::nullopt;
    return IndexRange{layout.columns.first, last};
}

// The number column's heading, then the headings of columns.
std::vector<std::string> SelectedHeadings(const std::vector<std::string>& headings,
                                          const std::optional<IndexRange>& columns) {
    std::vector<std::string> selected = {headings.empty() ? std::string() : headings[0]};
    if (!columns) return selected;
    for (int column = columns->first; column <= columns->last; ++column) {
        selected.push_back(headings[static_cast<std::size_t>(column)]);
    }
    return selected;
}

// The table columns a row writes: first to before end.
struct ColumnSpan {
    int first;
    int end;
};

// Writes rows first_row to before end_row of table. The cells of a block of rows are looked
// up first, each text asked for from memory as it is found, and then written: after a sort the
// texts lie all over the searched text, and waiting for each in turn cost more than writing
// them.
void WriteRowsOfTable(const ResultTable& table, ColumnSpan columns, int first_row, int end_row,
                      MatchRowWriter& writer) {
    constexpr int kBlockRows = 64;
    const auto per_row = static_cast<std::size_t>(columns.end - columns.first);
    std::vector<RowCell> cells;
    for (int block_start = first_row, block_end = first_row; block_start < end_row;
         block_start = block_end) {
        block_end = block_start + std::min(kBlockRows, end_row - block_start);
        cells.clear();
        // The rows' records first: they lie all over the results too.
        for (int row = block_start; row < block_end; ++row) table.PrefetchRow(row);
        for (int row = block_start; row < block_end; ++row) {
            for (int column = columns.first; column < columns.end; ++column) {
                const std::string_view text = table.GetCell(row, column).value_or("");
                __builtin_prefetch(text.data());
                cells.push_back({.text = text, .took_part = true, .span = {}});
            }
        }
        for (int row = block_start; row < block_end; ++row) {
            const auto block_row = static_cast<std::size_t>(row - block_start);
            writer.Row(row, std::span<const RowCell>(cells).subspan(block_row * per_row, per_row));
        }
    }
}

}  // namespace

MatchRowsStream::MatchRowsStream(const std::vector<std::string>& headings, int group_count,
                                 const MatchRowsLayout& layout, std::ostream& out)
    : layout_(layout),
      columns_(ColumnsThere(layout_, group_count + 1)),
      writer_(layout_, columns_ ? columns_->first : 1, out),
      // The records to write: record k is table column k + 1.
      cells_(columns_ ? static_cast<std::size_t>(columns_->last - columns_->first + 1) : 0) {
    writer_.Header(SelectedHeadings(headings, columns_));
}

void MatchRowsStream::Write(const SearchResults& batch, std::string_view text) {
    const int first_record = columns_ ? columns_->first - 1 : 0;
    // The matches in the order they are stored, each cut out of its run of records.
    const std::size_t match_words =
        static_cast<std::size_t>(batch.GroupCount() + 1) * WordsPerRecord(batch.Width());
    batch.VisitRecords(0, [&](std::span<const std::uint32_t> words) {
        for (std::size_t at = 0; at + match_words <= words.size(); at += match_words) {
            const SearchResult match(words.subspan(at, match_words), batch.Width());
            for (std::size_t i = 0; i < cells_.size(); ++i) {
                const int k = first_record + static_cast<int>(i);
                RowCell& cell = cells_[i];
                const SubMatchSpan span = match.Span(k);
                cell.took_part = span.matched();
                cell.text = match.GetSubMatchText(text, k);
                cell.span = span;
            }
            writer_.Row(++number_, cells_);
        }
    });
    // What a batch found goes out with it, before anything said after it.
    writer_.Flush();
}

void WriteMatchRows(const std::vector<std::string>& headings, const SearchResults& results,
                    std::string_view text, const MatchRowsLayout& layout, std::ostream& out) {
    MatchRowsStream(headings, results.GroupCount(), layout, out).Write(results, text);
}

void WriteTableRows(const ResultTable& table, const MatchRowsLayout& layout, int threads,
                    std::ostream& out) {
    const std::optional<IndexRange> columns = ColumnsThere(layout, table.ColumnCount() - 1);
    const ColumnSpan written = {.first = columns ? columns->first : 1,
                                .end = columns ? columns->last + 1 : 1};
    std::vector<std::string> headings;
    headings.reserve(static_cast<std::size_t>(table.ColumnCount()));
    for (int column = 0; column < table.ColumnCount(); ++column) {
        headings.emplace_back(table.GetCell(0, column).value_or(""));
    }
    MatchRowWriter writer(layout, written.first, out);
    writer.Header(SelectedHeadings(headings, columns));

    // A few stretches are held at a time, each a batch of its own. Asking for the processors
    // costs system calls: a short table, written here, does not need them.
    constexpr int kStretchRows = 16384;
    constexpr std::size_t kStretchBytes = std::size_t{256} * kStretchRows;
    const int rows = table.RowCount();
    if (rows - 1 < 2 * kStretchRows || threads == 1) {
        return WriteRowsOfTable(table, written, 1, rows, writer);
    }
    writer.Flush();  // the header, before the stretches
    const auto stretches = static_cast<std::size_t>((rows - 1 + kStretchRows - 1) / kStretchRows);
    std::vector<std::string> texts(stretches);
    std::vector<char> memory_ran_out(stretches, 0);
    // The stretches' texts are made in the memory of those written before: fresh memory costs a
    // page fault for every page it touches.
    std::mutex spare_mutex;
    std::vector<std::string> spare;
    spare.reserve(stretches);
    const auto format_stretch = [&](std::size_t i) {
        const int first_row = 1 + static_cast<int>(i) * kStretchRows;
        try {
            std::string text;
            {
                const std::lock_guard lock(spare_mutex);
                if (!spare.empty()) {
                    text = std::move(spare.back());
                    spare.pop_back();
                }
            }
            text.clear();
            // Room for a stretch of rows of a usual width at once: growing would copy it into
            // fresh memory again and again.
            text.reserve(kStretchBytes);
            MatchRowWriter stretch_writer(layout, written.first, text);
            WriteRowsOfTable(table, written, first_row, std::min(rows, first_row + kStretchRows),
                             stretch_writer);
            texts[i] = std::move(text);
        } catch (const std::bad_alloc&) {
            memory_ran_out[i] = 1;
        }
    };
    OrderedFileRuns runs(std::vector<std::int64_t>(stretches, -1),
                         threads > 0 ? threads : AvailableProcessors(), format_stretch);
    for (std::size_t i = 0; i < stretches; ++i) {
        runs.WaitFor(i);
        if (memory_ran_out[i] != 0) throw std::bad_alloc();
        out.write(texts[i].data(), static_cast<std::streamsize>(texts[i].size()));
        {
            const std::lock_guard lock(spare_mutex);
            spare.push_back(std::move(texts[i]));
        }
        runs.Taken(i);
    }
}

void WriteSpans(const SearchResults& results, std::string_view line_start,
                std::int64_t first_number, std::ostream& out) {
    // Written a block at a time: a result can hold many millions of lines.
    constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    std::string block;
    char digits[24];
    const auto append_number = [&](std::int64_t number) {
        block.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    };
    for (std::int64_t i = 0; i < results.size(); ++i) {
        block += line_start;
        append_number(first_number + i);
        const SearchResult match = results[i];
        for (int j = 0; j <= results.GroupCount(); ++j) {
            const SubMatchSpan span = match.Span(j);
            block += '\t';
            if (!span.matched()) {
                block += '-';
                continue;
            }
            append_number(span.offset);
            block += ',';
            append_number(span.length);
        }
        block += '\n';
        if (block.size() >= kBlockBytes) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

}  // namespace lintaro
