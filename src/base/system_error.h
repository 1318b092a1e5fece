// Errors of file and system calls, and their words for the user.
#pragma once

#include <string>

namespace lintaro {

// Failures the system has no errno value for. They are negative, so they never collide with
// an errno value.
inline constexpr int kErrorNotRegularFile = -1;  // a FIFO, socket or device where a file was wanted
inline constexpr int kErrorNoFileNamed = -2;     // an empty path

// The system's reason for error (strerror, in the locale's language and character set, which
// is the program text's), or our own words for the codes above.
std::string SystemErrorText(int error);

}  // namespace lintaro
