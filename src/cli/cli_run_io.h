// The batch program's side of a match run over one file: inputs from the command line,
// outputs kept.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "cli/cli_options.h"
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

    // The number alone is printed, from the run's report.
    void SetCountLine(const std::string& /*line*/) override {}
    void ReceiveMatches(const std::shared_ptr<const SearchResults>& results,
                        const std::shared_ptr<const TextBuffer>& text) override;
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }

    // What starts each line of this file's output: empty, or its path and a tab.
    const std::string& LineStartText() const { return line_start_; }
    // Filled only when the spans are to be printed.
    const std::string& Spans() const { return spans_; }
    // Kept only when rows are to be printed a match at a time: the matches and the searched text.
    const std::shared_ptr<const SearchResults>& Results() const { return results_; }
    const std::shared_ptr<const TextBuffer>& Text() const { return text_; }
    std::optional<ResultTable>& Table() { return table_; }
    const std::optional<ResultTable>& Table() const { return table_; }

  private:
    const CliOptions& options_;
    std::string path_;
    std::string charset_;
    FileSystem& files_;
    std::string line_start_;
    std::string spans_;
    std::shared_ptr<const SearchResults> results_;
    std::shared_ptr<const TextBuffer> text_;
    std::optional<ResultTable> table_;
    WorkProgress timeout_progress_;
};

}  // namespace lintaro
