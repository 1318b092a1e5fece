// The style sheet that both export page templates carry, and the web-font address it names.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// Style sheet of the Open Sans faces; named by the page head's link and by the theme.
inline constexpr std::string_view kWebFontAddress =
    "https://fonts.googleapis.com/css?family=Open+Sans:400italic,700italic,700,400&subset=latin,"
    "latin-ext";

// The text between "<style type='text/css'>" and "</style>": the general document rules
// ("\n" line ends, closed by two empty lines), the theme ("\r\n" line ends), then two empty
// lines and the four TEXT rules of the link rows ("\n" line ends). ASCII only.
const std::string& StyleSheet();

}  // namespace lintaro
