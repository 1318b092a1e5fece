// The failure report of the fuzz targets: a property that does not hold ends the program.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace lintaro {

// Aborts with what went wrong when condition is false; libFuzzer keeps the input as a crash.
inline void FuzzCheck(bool condition, const char* property) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", property);
    std::abort();
}

}  // namespace lintaro
