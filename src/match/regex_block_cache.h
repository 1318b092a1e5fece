// The engine's backtracking memory, cached per thread (built with Boost.Regex 1.74 and 1.75).
#pragma once

#include <cstdint>

namespace lintaro {

// How many blocks the engine has taken from the program's cache on the calling thread. Read
// only by the tests: the library's own pair of functions would serve the engine just as well,
// only slower, so nothing else shows whether the engine's calls reach the program's pair.
std::uint64_t EngineBlocksTakenOnThisThread();

}  // namespace lintaro
