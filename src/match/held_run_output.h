// A match run's outputs held back, so that the run can go on in another thread while the front
// end that shows them waits for it.
#pragma once

#include <optional>
#include <string>

#include "match/match_run.h"

namespace lintaro {

class HeldRunOutput final : public MatchRunOutput {
  public:
    // Writes the held count line and table to front, in the order the run wrote them. The
    // matches' positions are not held: front's ReceiveMatches is not called.
    void Deliver(MatchRunOutput& front);

    void SetCountLine(const std::string& line) override { count_line_ = line; }
    void ReplaceTable(ResultTable&& table) override { table_.emplace(std::move(table)); }

  private:
    std::optional<std::string> count_line_;
    std::optional<ResultTable> table_;
};

}  // namespace lintaro
