// Words for the errors of system calls.
#include "base/system_error.h"

#include <cstring>

namespace lintaro {

std::string SystemErrorText(int error) {
    switch (error) {
        case kErrorNotRegularFile:
            return "not a regular file";
        case kErrorNoFileNamed:
            return "no file named";
        default:
            return std::strerror(error);
    }
}

}  // namespace lintaro
