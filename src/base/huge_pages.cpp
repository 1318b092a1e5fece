// Backing big buffers with huge pages.
#include "base/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace lintaro {

namespace {

// The size of a transparent huge page on x86-64 and the usual arm64 set-ups. Where it is larger,
// the advice still holds for the pages it covers.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this, a huge page would mostly stay empty: use the ordinary heap. From it, at most half
// of the pages' room goes unused, and huge pages pay for it: the first touch of ordinary pages
// costs a fault for every 4 KB, which on virtual machines runs at a few hundred MB/s.
constexpr std::size_t kSmallestHugeBuffer = kHugePage / 2;

}  // namespace

void AdviseHugePages(void* data, std::size_t size) {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + size) & ~(kHugePage - 1);
    if (size < kHugePage || last <= first) return;
    // A kernel without transparent huge pages refuses; ordinary pages then serve.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void* AllocateHugePageMemory(std::size_t size) {
    if (size < kSmallestHugeBuffer) return std::malloc(size == 0 ? 1 : size);
    if (size > SIZE_MAX - kHugePage) return nullptr;
    const std::size_t rounded = (size + kHugePage - 1) & ~(kHugePage - 1);
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory != nullptr) AdviseHugePages(memory, rounded);
    return memory;
}

void FreeHugePageMemory(void* memory) {
    std::free(memory);
}

}  // namespace lintaro
