// The batch program's side of a match run: inputs from the command line, outputs kept.
#include "cli/cli_run_io.h"

#include "cli/cli_output.h"

namespace lintaro {

void CliRunIo::ReceiveMatches(const SearchResults& results) {
    if (options_.output == CliOutput::kSpans) spans_ = FormatSpans(results);
}

}  // namespace lintaro
