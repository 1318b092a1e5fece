// The bash completion of lintaro-cli, made from its option table.
#pragma once

#include <string>

namespace lintaro {

// A script for bash-completion: completes every option of the table (a long one that takes a
// value with "="), the --format names, common --encoding names, file names for --output and
// for FILE, and nothing for the other values.
std::string CliBashCompletion();

}  // namespace lintaro
