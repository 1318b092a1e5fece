// Turning the batch program's FILE arguments into the files to search, walking folders for -r.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace lintaro {

struct WalkedFiles {
    std::vector<std::string> paths;   // the files to search, in the order to search them
    std::vector<std::int64_t> sizes;  // their sizes in bytes when walked, -1 when unknown
    std::vector<std::string> errors;  // one message per folder that could not be read
};

// Without -r the paths as given. With -r each path that is a folder (also through a symbolic
// link given on the command line) is replaced by the regular files under it whose name fits the
// --include and --exclude globs, sorted by path, as "FOLDER/sub/name"; symbolic links inside are
// followed only with -R, and a folder met again through them is not walked twice. No path
// walks ".", its files named without a leading "./".
WalkedFiles WalkPaths(const CliOptions& options);

}  // namespace lintaro
