// The batch program's side of a match run over one file.
#include "cli/cli_run_io.h"

#include <utility>

#include "cli/cli_output.h"

namespace lintaro {

CliRunIo::CliRunIo(const CliOptions& options, std::string path, FileSystem& files)
    : options_(options), path_(std::move(path)), files_(files) {
    if (options.with_filename) line_start_ = LineStart(path_);
}

void CliRunIo::ReceiveMatches(const std::shared_ptr<const SearchResults>& results,
                              const std::shared_ptr<const TextBuffer>& text) {
    if (options_.output == CliOutput::kSpans) spans_ = FormatSpans(*results, line_start_);
    if (options_.output == CliOutput::kTable) {
        results_ = results;
        text_ = text;
    }
}

}  // namespace lintaro
