// The batch program's side of a match run over one file.
#include "cli/cli_run_io.h"

#include <utility>

#include "cli/cli_output.h"
#include "cli/file_charset.h"
#include "cli/standard_input_files.h"
#include "table/result_table_builder.h"

namespace lintaro {

CliRunIo::CliRunIo(const CliOptions& options, std::string path, FileSystem& files)
    : options_(options), path_(std::move(path)), files_(files) {
    // Standard input cannot be read twice: it is read as UTF-8.
    if (options.encoding != kAutoEncoding) {
        charset_ = options.encoding;
    } else if (path_ != kStandardInputName) {
        charset_ = AutoCharsetOfFile(path_);
    }
    if (options.with_filename) line_start_ = LineStart(path_);
}

MatchRequest CliRunIo::Request() const {
    return {
        .pattern = options_.pattern,
        .ignore_case = options_.ignore_case,
        .subject_path = path_,
        .subject_charset = charset_,
        .subject_files = files_,
        // The text lives only until this file's output is written: mapping it saves a copy.
        .reading = SubjectReading::kMap,
        .search = {.threads = options_.threads},
        // Only an export and the table operations need the table; the other outputs are
        // written from the matches.
        .wants_table = options_.output == CliOutput::kExport || options_.operations.Any(),
        // No font here: the table estimates heading widths itself.
    };
}

void CliRunIo::PrintMatchesWhileSearching(std::function<std::ostream*()> open,
                                          const MatchRowsLayout& layout) {
    open_out_ = std::move(open);
    layout_ = layout;
}

void CliRunIo::PrintMatches(std::ostream& out, const MatchRowsLayout& layout) {
    if (!open_out_) PrintMatchesWhileSearching([&out] { return &out; }, layout);
    if (results_) Print(*results_, text_->View());
}

bool CliRunIo::TakesMatchBatches() const {
    // A count needs no matches at all.
    return options_.output == CliOutput::kCount || open_out_;
}

void CliRunIo::ReceiveMatchBatch(const SearchResults& batch, const TextBuffer& text) {
    if (!open_out_) return;
    printed_while_searching_ = true;
    Print(batch, text.View());
    // The search hands over only matches of the text the file still has, but the file can
    // lose more while they are printed. Spans read no text.
    if (options_.output != CliOutput::kSpans && text.PagesLost()) lost_text_while_printing_ = true;
}

void CliRunIo::ReceiveMatches(const std::shared_ptr<const SearchResults>& results,
                              const std::shared_ptr<const TextBuffer>& text) {
    if (PrintsMatches(options_.output)) {
        results_ = results;
        text_ = text;
    }
}

void CliRunIo::Print(const SearchResults& matches, std::string_view text) {
    if (out_ == nullptr) out_ = open_out_();
    if (out_ == nullptr) return;
    if (options_.output == CliOutput::kSpans) {
        WriteSpans(matches, line_start_, printed_ + 1, *out_);
    } else {
        if (!rows_) {
            rows_.emplace(ResultHeadings(matches.GroupCount()), matches.GroupCount(), layout_,
                          *out_);
        }
        rows_->Write(matches, text);
    }
    printed_ += matches.size();
}

}  // namespace lintaro
