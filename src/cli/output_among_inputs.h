// Finding an --output file that is also one of the files to search.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lintaro {

// The first of paths that is the same regular file as output_path (through links too), if
// any: writing the output there would replace a file still to be read. Devices and FIFOs
// (/dev/null, /dev/stdout) may be both.
std::optional<std::string> InputNamedByOutput(const std::string& output_path,
                                              const std::vector<std::string>& paths);

}  // namespace lintaro
