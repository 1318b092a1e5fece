// The processors this process may run on, and work split among them.
#include "base/processors.h"

#include <sched.h>

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace lintaro {

int AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int count = sched_getaffinity(0, sizeof(set), &set) == 0
                          ? CPU_COUNT(&set)
                          : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(count, 1, kMostThreads);
}

std::size_t PiecesFor(std::size_t items, std::size_t least_per_piece) {
    if (items < 2 * least_per_piece) return 1;
    return std::min(static_cast<std::size_t>(AvailableProcessors()), items / least_per_piece);
}

void RunPieces(std::size_t pieces, const std::function<void(std::size_t piece)>& work) {
    // What a piece throws (running out of memory, say) is kept for the calling thread: thrown
    // on a thread of its own, it would end the program.
    std::vector<std::exception_ptr> thrown(pieces);
    const auto run = [&](std::size_t k) {
        try {
            work(k);
        } catch (...) {
            thrown[k] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t k = 1; k < pieces; ++k) {
            try {
                helpers.emplace_back(run, k);
            } catch (const std::exception&) {
                run(k);  // no thread to be had: this one does the piece
            }
        }
        if (pieces > 0) run(0);
    }
    for (const std::exception_ptr& exception : thrown) {
        if (exception) std::rethrow_exception(exception);
    }
}

}  // namespace lintaro
