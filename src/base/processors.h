// The processors this process may run on, and work split among them.
#pragma once

#include <cstddef>
#include <functional>

namespace lintaro {

// The most threads a piece of work is split among.
constexpr int kMostThreads = 16;

// The processors this process may run on (its affinity mask, which taskset or a container can
// narrow), at least 1 and at most kMostThreads.
int AvailableProcessors();

// How many pieces items are split into: one per available processor, each of at least
// least_per_piece items. Fewer than twice that many items stay one piece without asking for
// the processors, which costs system calls.
std::size_t PiecesFor(std::size_t items, std::size_t least_per_piece);

// Where piece k of items split into pieces even pieces starts; piece k ends where k + 1 starts.
constexpr std::size_t PieceStart(std::size_t items, std::size_t pieces, std::size_t k) {
    return items / pieces * k + items % pieces * k / pieces;
}

// Calls work(k) for each piece k below pieces and returns once every call has returned:
// piece 0 on the calling thread, each other one on a thread of its own, or on the calling
// thread where no thread can be started. Then throws what the first piece that threw threw.
void RunPieces(std::size_t pieces, const std::function<void(std::size_t piece)>& work);

}  // namespace lintaro
