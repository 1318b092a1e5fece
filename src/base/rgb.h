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

// The window's background colour (#DBECF9). The table's cells and the area around them share
// it, so that the table reads as part of the window.
inline constexpr Rgb kWindowColour{219, 236, 249};

}  // namespace lintaro
