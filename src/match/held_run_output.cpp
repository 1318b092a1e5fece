// A match run's outputs held back.
#include "match/held_run_output.h"

#include <utility>

namespace lintaro {

void HeldRunOutput::Deliver(MatchRunOutput& front) {
    if (count_line_) front.SetCountLine(*count_line_);
    if (table_) front.ReplaceTable(std::move(*table_));
    count_line_.reset();
    table_.reset();
}

}  // namespace lintaro
