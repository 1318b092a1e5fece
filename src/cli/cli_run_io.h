// The batch program's side of a match run over one file: inputs from the command line,
// outputs kept.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "match/match_run.h"

namespace lintaro {

// Makes the request of a match run over the file at path from the parsed command line and keeps
// what the run writes, for the program to print once it knows whether the run succeeded.
class CliRunIo : public MatchRunOutput {
  public:
    // options and files must outlive the run.
    CliRunIo(const CliOptions& options, std::string path, FileSystem& files);

    MatchRequest Request() const;
    // The set the file is read in: --encoding's, or with --encoding=auto the one chosen for
    // it; empty for UTF-8.
    const std::string& Charset() const { return charset_; }
    // With --timeout, where the run can be cancelled; none without.
    WorkProgress* Progress() { return options_.timeout_seconds > 0 ? &timeout_progress_ : nullptr; }
    WorkProgress& TimeoutProgress() { return timeout_progress_; }

    // Has the run print its matches (rows or spans, as the options ask) with layout as the
    // search joins them, rather than keep them all: for a run on the thread that writes the
    // output. open gives the stream when the first of them is printed (so that a run that
    // prints nothing opens no output file); none: it cannot be opened, and they are dropped.
    // PrintMatches then prints the rest.
    void PrintMatchesWhileSearching(std::function<std::ostream*()> open,
                                    const MatchRowsLayout& layout);
    // Prints the matches not printed while searching (all of them, without that) to out with
    // layout, the rows' header included when none was printed yet.
    void PrintMatches(std::ostream& out, const MatchRowsLayout& layout);

    // The number alone is printed, from the run's report.
    void SetCountLine(const std::string& /*line*/) override {}
    bool TakesMatchBatches() const override;
    void ReceiveMatchBatch(const SearchResults& batch, const TextBuffer& text) override;
    void ReceiveMatches(const std::shared_ptr<const SearchResults>& results,
                        const std::shared_ptr<const TextBuffer>& text) override;
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }

    // What starts each line of this file's output: empty, or its path and a tab.
    const std::string& LineStartText() const { return line_start_; }
    // Whether matches were printed while searching: then a result found lost afterwards
    // leaves the output incomplete.
    bool PrintedWhileSearching() const { return printed_while_searching_; }
    // Whether the file lost pages while its matches' rows were printed during the search: the
    // rows may hold zeros where its text was.
    bool LostTextWhilePrinting() const { return lost_text_while_printing_; }
    // The searched text, kept when the matches are to be printed.
    const std::shared_ptr<const TextBuffer>& Text() const { return text_; }
    std::optional<ResultTable>& Table() { return table_; }
    const std::optional<ResultTable>& Table() const { return table_; }

  private:
    // Prints matches, the rows' header first.
    void Print(const SearchResults& matches, std::string_view text);

    const CliOptions& options_;
    std::string path_;
    std::string charset_;
    FileSystem& files_;
    std::string line_start_;
    // Where matches are printed, once opened.
    std::function<std::ostream*()> open_out_;
    std::ostream* out_ = nullptr;
    MatchRowsLayout layout_;
    std::optional<MatchRowsStream> rows_;
    std::int64_t printed_ = 0;
    bool printed_while_searching_ = false;
    bool lost_text_while_printing_ = false;
    std::shared_ptr<const SearchResults> results_;
    std::shared_ptr<const TextBuffer> text_;
    std::optional<ResultTable> table_;
    WorkProgress timeout_progress_;
};

}  // namespace lintaro
