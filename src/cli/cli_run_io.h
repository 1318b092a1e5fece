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

// Feeds a match run over the file at path from the parsed command line and keeps what the run
// writes, for the program to print once it knows whether the run succeeded.
class CliRunIo : public MatchRunIo {
  public:
    // options and files must outlive the run.
    CliRunIo(const CliOptions& options, std::string path, FileSystem& files);

    std::string Pattern() const override { return options_.pattern; }
    bool IgnoreCase() const override { return options_.ignore_case; }
    std::string SubjectPath() const override { return path_; }
    std::string SubjectCharset() const override { return options_.encoding; }
    FileSystem& SubjectFiles() const override { return files_; }
    // The text lives only until this file's output is written: mapping it saves a copy.
    SubjectReading SubjectReadingWay() const override { return SubjectReading::kMap; }
    void SetCountLine(const std::string& line) override { count_line_ = line; }
    void ReceiveMatches(const std::shared_ptr<const SearchResults>& results,
                        const std::shared_ptr<const TextBuffer>& text) override;
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }
    // Only an export reads the table; the other outputs are written from the matches.
    bool WantsTable() const override { return options_.output == CliOutput::kExport; }
    // No font here: the table estimates heading widths itself.
    HeadingWidthFunction HeadingWidth() const override { return {}; }
    SearchOptions SearchSettings() const override { return {.threads = options_.threads}; }
    // With --timeout, the run can be cancelled through TimeoutProgress().
    WorkProgress* Progress() override {
        return options_.timeout_seconds > 0 ? &timeout_progress_ : nullptr;
    }
    WorkProgress& TimeoutProgress() { return timeout_progress_; }

    // What starts each line of this file's output: empty, or its path and a tab.
    const std::string& LineStartText() const { return line_start_; }
    const std::string& CountLineText() const { return count_line_; }
    // Filled only when the spans are to be printed.
    const std::string& Spans() const { return spans_; }
    // Kept only when the table's rows are to be printed: the matches and the searched text.
    const std::shared_ptr<const SearchResults>& Results() const { return results_; }
    const std::shared_ptr<const TextBuffer>& Text() const { return text_; }
    std::optional<ResultTable>& Table() { return table_; }
    const std::optional<ResultTable>& Table() const { return table_; }

  private:
    const CliOptions& options_;
    std::string path_;
    FileSystem& files_;
    std::string line_start_;
    std::string count_line_;
    std::string spans_;
    std::shared_ptr<const SearchResults> results_;
    std::shared_ptr<const TextBuffer> text_;
    std::optional<ResultTable> table_;
    WorkProgress timeout_progress_;
};

}  // namespace lintaro
