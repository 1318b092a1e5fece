// Finding an --output file that is also one of the files to search.
#include "cli/output_among_inputs.h"

#include <sys/stat.h>

#include "cli/standard_input_files.h"

namespace lintaro {

std::optional<std::string> InputNamedByOutput(const std::string& output_path,
                                              const std::vector<std::string>& paths) {
    struct stat output {};
    if (output_path.empty() || ::stat(output_path.c_str(), &output) != 0 ||
        !S_ISREG(output.st_mode)) {
        return std::nullopt;
    }
    for (const std::string& path : paths) {
        struct stat input {};
        if (path == kStandardInputName || ::stat(path.c_str(), &input) != 0) continue;
        if (input.st_dev == output.st_dev && input.st_ino == output.st_ino) return path;
    }
    return std::nullopt;
}

}  // namespace lintaro
