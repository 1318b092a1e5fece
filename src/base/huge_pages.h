// Backing big buffers with huge pages, which this program's large, write-once buffers (the file's
// bytes, the match records) fill several times faster than ordinary pages.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace lintaro {

// Asks the kernel to back the whole huge pages inside [data, data + size) with huge pages when
// they are first touched. A hint only: small ranges and refusals are ignored. Call it before the
// memory is first written.
void AdviseHugePages(void* data, std::size_t size);

// Memory for size bytes, aligned to a huge page and advised as above when it is big; null when
// there is none. Free it with FreeHugePageMemory.
void* AllocateHugePageMemory(std::size_t size);
void FreeHugePageMemory(void* memory);

// A standard allocator over AllocateHugePageMemory, for containers that grow large.
template <typename T>
class HugePageAllocator {
  public:
    using value_type = T;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>& /*other*/) {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
        void* memory = AllocateHugePageMemory(count * sizeof(T));
        if (memory == nullptr) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t /*count*/) { FreeHugePageMemory(memory); }

    template <typename U>
    friend bool operator==(const HugePageAllocator&, const HugePageAllocator<U>&) {
        return true;
    }
};

// A vector and a string whose memory comes from AllocateHugePageMemory.
template <typename T>
using HugePageVector = std::vector<T, HugePageAllocator<T>>;
using HugePageString = std::basic_string<char, std::char_traits<char>, HugePageAllocator<char>>;

}  // namespace lintaro
