// The one shape of a failure: a std::error_code, either a system error (an errno value in the
// system category) or one of Lintaro's own, and its words for the user.
#pragma once

#include <string>
#include <system_error>

namespace lintaro {

// Failures the system has no errno value for.
enum class LintaroError {
    kNotRegularFile = 1,  // a block device or socket where a file was wanted
    kNoFileNamed,         // an empty path
    kOtherHardLinks,      // a file to be replaced that has other names, which would keep it
    kEndlessDevice,       // a device whose text never ends, such as /dev/zero
};

const std::error_category& LintaroCategory();
std::error_code make_error_code(LintaroError error);

// The system error errno_value (an errno value).
inline std::error_code SystemError(int errno_value) {
    return {errno_value, std::system_category()};
}
// The system error the last failed call left in errno.
std::error_code LastSystemError();

// Why error happened, in words: the system's (strerror, in the locale's language and
// character set, which is the program text's) or our own.
std::string ErrorText(const std::error_code& error);

}  // namespace lintaro

template <>
struct std::is_error_code_enum<lintaro::LintaroError> : std::true_type {};
