// A font-free guess at how wide a column heading is drawn.
#include "table/heading_width_estimate.h"

#include <climits>

namespace lintaro {

namespace {
constexpr int kNarrowWidth = 7;
constexpr int kWideWidth = 14;
constexpr int kMargins = 2 * 6;
}  // namespace

int EstimateHeadingWidth(std::string_view heading) {
    long long width = kMargins;
    for (const char c : heading) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            width += kNarrowWidth;
        } else if ((byte & 0xC0) != 0x80) {  // continuation bytes add nothing
            width += kWideWidth;
        }
    }
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

}  // namespace lintaro
