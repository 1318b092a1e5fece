// The batch program's side of a match run: inputs from the command line, outputs kept.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "match/match_run.h"

namespace lintaro {

// Feeds a match run from the parsed command line and keeps what the run writes, for the
// program to print once it knows whether the run succeeded.
class CliRunIo : public MatchRunIo {
  public:
    explicit CliRunIo(CliOptions options) : options_(std::move(options)) {}

    std::string Pattern() const override { return options_.pattern; }
    bool IgnoreCase() const override { return options_.ignore_case; }
    std::string SubjectPath() const override { return options_.path; }
    void SetCountLine(const std::string& line) override { count_line_ = line; }
    void ReceiveMatches(const SearchResults& results) override;
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }
    bool WantsTable() const override {
        return options_.output != CliOutput::kCount && options_.output != CliOutput::kSpans;
    }
    // No font here: the table estimates heading widths itself.
    HeadingWidthFunction HeadingWidth() const override { return {}; }
    SearchOptions SearchSettings() const override { return {.threads = options_.threads}; }

    const std::string& CountLineText() const { return count_line_; }
    // Filled only when the spans are to be printed.
    const std::string& Spans() const { return spans_; }
    const std::optional<ResultTable>& Table() const { return table_; }

  private:
    CliOptions options_;
    std::string count_line_;
    std::string spans_;
    std::optional<ResultTable> table_;
};

}  // namespace lintaro
