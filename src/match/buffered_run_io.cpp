// A match run's inputs read in advance and its outputs held back.
#include "match/buffered_run_io.h"

#include <utility>

namespace lintaro {

BufferedRunIo::BufferedRunIo(const MatchRunIo& front, WorkProgress& progress)
    : pattern_(front.Pattern()),
      ignore_case_(front.IgnoreCase()),
      subject_path_(front.SubjectPath()),
      subject_charset_(front.SubjectCharset()),
      heading_width_(front.HeadingWidth()),
      progress_(progress) {}

void BufferedRunIo::Deliver(MatchRunIo& front) {
    if (count_line_) front.SetCountLine(*count_line_);
    if (table_) front.ReplaceTable(std::move(*table_));
    count_line_.reset();
    table_.reset();
}

}  // namespace lintaro
