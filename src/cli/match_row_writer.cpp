// Writes the batch program's rows of matches as tab-separated lines, CSV or JSON Lines.
#include "cli/match_row_writer.h"

#include <charconv>

#include "base/program_text.h"
#include "cli/cli_output.h"
#include "cli/standard_input_files.h"

namespace lintaro {

namespace {

// The rows are collected in blocks of this size and written a block at a time.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

void AppendNumber(std::string& line, std::int64_t number) {
    char digits[24];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

void AppendCell(std::string& line, RowFormat format, std::string_view utf8_text) {
    switch (format) {
        case RowFormat::kTsv:
            AppendTsvCell(line, utf8_text);
            break;
        case RowFormat::kCsv:
            AppendCsvField(line, utf8_text);
            break;
        case RowFormat::kJson:
            AppendJsonString(line, utf8_text);
            break;
    }
}

// "offset":N,"length":N of a cell that has a place in the text.
void AppendJsonSpan(std::string& line, const RowCell& cell) {
    if (!cell.span) return;
    line += ",\"offset\":";
    AppendNumber(line, cell.span->offset);
    line += ",\"length\":";
    AppendNumber(line, cell.span->length);
}

// What starts every row of layout: the escaped path and a separator, or nothing.
std::string FileField(const MatchRowsLayout& layout) {
    if (layout.path.empty()) return {};
    const std::string name = layout.path == kStandardInputName ? "(standard input)" : layout.path;
    std::string field;
    switch (layout.format) {
        case RowFormat::kTsv:
            field = LineStart(layout.path);
            break;
        case RowFormat::kCsv:
            AppendCsvField(field, name);
            field += ',';
            break;
        case RowFormat::kJson:
            field = "\"file\":";
            AppendJsonString(field, name);
            field += ',';
            break;
    }
    return field;
}

}  // namespace

MatchRowWriter::MatchRowWriter(const MatchRowsLayout& layout, int first_column, std::ostream& out)
    : layout_(layout),
      first_column_(first_column),
      out_(&out),
      file_field_(FileField(layout)),
      line_(own_line_) {
    line_.reserve(kBlockBytes * 2);
}

MatchRowWriter::MatchRowWriter(const MatchRowsLayout& layout, int first_column, std::string& into)
    : layout_(layout),
      first_column_(first_column),
      out_(nullptr),
      file_field_(FileField(layout)),
      line_(into) {}

MatchRowWriter::~MatchRowWriter() {
    Flush();
}

void MatchRowWriter::Header(std::span<const std::string> headings) {
    if (!layout_.header || layout_.format == RowFormat::kJson) return;
    const char separator = layout_.format == RowFormat::kTsv ? '\t' : ',';
    // An empty first field keeps the headings over their columns when rows start with a path.
    if (!layout_.path.empty()) line_ += separator;
    for (std::size_t k = 0; k < headings.size(); ++k) {
        if (k > 0) line_ += separator;
        AppendText(headings[k]);
    }
    EndLine();
}

void MatchRowWriter::Row(std::int64_t number, std::span<const RowCell> cells) {
    if (layout_.format == RowFormat::kJson) {
        line_ += '{';
        line_ += file_field_;
        line_ += "\"number\":";
        AppendNumber(line_, number);
        std::size_t k = 0;
        if (first_column_ == 1 && !cells.empty()) {
            line_ += ",\"match\":";
            AppendText(cells[0].text);
            AppendJsonSpan(line_, cells[0]);
            k = 1;
        }
        line_ += ",\"groups\":[";
        for (const std::size_t first_group = k; k < cells.size(); ++k) {
            if (k > first_group) line_ += ',';
            if (!cells[k].took_part) {
                line_ += "null";
                continue;
            }
            line_ += "{\"text\":";
            AppendText(cells[k].text);
            AppendJsonSpan(line_, cells[k]);
            line_ += '}';
        }
        line_ += "]}";
    } else {
        const char separator = layout_.format == RowFormat::kTsv ? '\t' : ',';
        line_ += file_field_;
        AppendNumber(line_, number);
        for (const RowCell& cell : cells) {
            line_ += separator;
            AppendText(cell.text);
        }
    }
    EndLine();
}

void MatchRowWriter::AppendText(std::string_view program_text) {
    // Escape after converting: in a double-byte set a backslash byte can be half of a
    // character, in UTF-8 never.
    if (ProgramCharsetIsUtf8()) {
        AppendCell(line_, layout_.format, program_text);
    } else {
        AppendCell(line_, layout_.format, ProgramTextToUtf8(program_text));
    }
}

void MatchRowWriter::EndLine() {
    // RFC 4180 ends its records with CR LF.
    line_ += layout_.format == RowFormat::kCsv ? "\r\n" : "\n";
    if (line_.size() >= kBlockBytes) Flush();
}

void MatchRowWriter::Flush() {
    if (out_ == nullptr) return;
    out_->write(line_.data(), static_cast<std::streamsize>(line_.size()));
    line_.clear();
}

}  // namespace lintaro
