// A search that finds two matches and then stays inside one engine call for hours: for tests
// of what stops a search from outside.
#pragma once

#include <string>

namespace lintaro::testing {

// "x", or (a+)+$ behind 300 alternatives. Boost gives up on a call after about
// (pattern length)^2 * (text length) steps; the long pattern and the long text make that hours,
// while (a+)+$ backtracks over 40 "a" and a "b" for longer still.
inline std::string EndlessSearchPattern() {
    std::string padding;
    for (int i = 0; i < 300; ++i) padding += (i == 0 ? "z" : "|z") + std::to_string(i);
    return "x|(?:" + padding + ")?(a+)+$";
}

// Matches at 0 and 2, then the trap at 4.
inline std::string EndlessSearchText() {
    return "x x " + std::string(40, 'a') + "b" + std::string(std::size_t{1} << 20, '-');
}

}  // namespace lintaro::testing
