// The window's words for a failure the system or the program reports: Chinese, as every
// other text of the window. The batch program keeps the system's own words (ErrorText).
#pragma once

#include <QString>

#include <system_error>

namespace lintaro {

// Why error happened, in Chinese. An errno value without words of ours gives its number and
// the system's own words.
QString SystemErrorWords(const std::error_code& error);

}  // namespace lintaro
