// A 24-bit colour, and the colours that several parts of the program share.
#pragma once

#include <cstdint>

namespace lintaro {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The window's light blue (#DBECF9): the window itself, its labels, the table's cells and the
// table's empty area.
inline constexpr Rgb kWindowBlue{219, 236, 249};
// The pattern box's pale green (#E6F9E9).
inline constexpr Rgb kPatternGreen{230, 249, 233};

}  // namespace lintaro
