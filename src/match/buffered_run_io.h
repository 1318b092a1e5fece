// A match run's inputs read in advance and its outputs held back, so that the run can go on in
// another thread while the front end that owns the inputs waits for it.
#pragma once

#include <optional>
#include <string>

#include "match/match_run.h"

namespace lintaro {

class BufferedRunIo final : public MatchRunIo {
  public:
    // Reads front's inputs now. The run shows how far it has come in progress.
    BufferedRunIo(const MatchRunIo& front, WorkProgress& progress);

    // Writes the held count line and table to front, in the order the run wrote them. The
    // matches' positions are not held: front's ReceiveMatches is not called.
    void Deliver(MatchRunIo& front);

    std::string Pattern() const override { return pattern_; }
    bool IgnoreCase() const override { return ignore_case_; }
    std::string SubjectPath() const override { return subject_path_; }
    std::string SubjectCharset() const override { return subject_charset_; }
    void SetCountLine(const std::string& line) override { count_line_ = line; }
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }
    HeadingWidthFunction HeadingWidth() const override { return heading_width_; }
    WorkProgress* Progress() override { return &progress_; }

  private:
    const std::string pattern_;
    const bool ignore_case_;
    const std::string subject_path_;
    const std::string subject_charset_;
    const HeadingWidthFunction heading_width_;
    WorkProgress& progress_;
    std::optional<std::string> count_line_;
    std::optional<ResultTable> table_;
};

}  // namespace lintaro
