// The one shape of a failure, and its words.
#include "base/error.h"

#include <cerrno>
#include <cstring>

namespace lintaro {

namespace {

class LintaroErrorCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "lintaro"; }
    std::string message(int value) const override {
        switch (static_cast<LintaroError>(value)) {
            case LintaroError::kNotRegularFile:
                return "not a regular file";
            case LintaroError::kNoFileNamed:
                return "no file named";
            case LintaroError::kOtherHardLinks:
                return "the file has other hard links; it is left as it was";
            case LintaroError::kEndlessDevice:
                return "a device whose text never ends";
        }
        return "unknown error " + std::to_string(value);
    }
};

}  // namespace

const std::error_category& LintaroCategory() {
    static const LintaroErrorCategory category;
    return category;
}

std::error_code make_error_code(LintaroError error) {
    return {static_cast<int>(error), LintaroCategory()};
}

std::error_code LastSystemError() {
    return SystemError(errno);
}

std::string ErrorText(const std::error_code& error) {
    // strerror rather than the category's message: it follows the locale.
    return error.category() == std::system_category() ? std::strerror(error.value())
                                                      : error.message();
}

}  // namespace lintaro
