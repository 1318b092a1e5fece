// A font-free guess at how wide a column heading is drawn.
#pragma once

#include <string_view>

namespace lintaro {

// Width in pixels for heading when no font is at hand (batch program, tests): 7 pixels per
// ASCII byte, 14 per other character (CJK characters are about twice as wide as Latin
// letters in the table's font), plus 6 pixels of cell margin on each side. Characters are
// counted as UTF-8; other byte sets only get a rougher estimate.
int EstimateHeadingWidth(std::string_view heading);

}  // namespace lintaro
