// The engine's backtracking memory, cached per thread.
//
// Boost.Regex 1.74 gives every search a 4 KB block for its backtracking states and takes it
// back when the search ends, through get_mem_block and put_mem_block of its library. There the
// blocks wait in one process-wide lock-free cache, so threads that each run millions of short
// searches take turns owning the same cache lines: with two threads and `\w+` over 100 MB the
// two functions took a third of the processor time. Defining them here replaces the library's
// pair for the whole program (the program's own definitions come first when symbols are bound),
// and each thread keeps a few blocks of its own. The blocks are allocated exactly as the
// library allocates them, so a block may be taken from one pair and given back to the other.
//
// Only the compiled Boost.Regex of 1.74 and 1.75 calls these two functions of its library; from
// 1.76 the library is header-only and defines them inline, where a definition here would collide
// or never be called. CMake builds this file only for those versions, and the check below stops
// any other build that would take it.
#include "match/regex_block_cache.h"

#include <boost/regex/config.hpp>
#include <boost/version.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>

static_assert(BOOST_VERSION < 107600,
              "Boost.Regex 1.76 and newer take no blocks through get_mem_block/put_mem_block");

namespace boost::BOOST_REGEX_DETAIL_NS {

namespace {

// A search that backtracks deeply holds many blocks at once; the ones beyond this are freed
// when it returns them.
constexpr std::size_t kCachedBlocks = 8;

class ThreadBlockCache {
  public:
    ThreadBlockCache() = default;
    ~ThreadBlockCache() {
        for (std::size_t i = 0; i < count_; ++i) ::operator delete(blocks_[i]);
    }
    ThreadBlockCache(const ThreadBlockCache&) = delete;
    ThreadBlockCache& operator=(const ThreadBlockCache&) = delete;

    void* Take() {
        ++taken_;
        return count_ > 0 ? blocks_[--count_] : ::operator new(BOOST_REGEX_BLOCKSIZE);
    }
    void Give(void* block) {
        if (block == nullptr) return;
        if (count_ < blocks_.size()) {
            blocks_[count_++] = block;
        } else {
            ::operator delete(block);
        }
    }
    // Blocks handed out so far, for EngineBlocksTakenOnThisThread.
    std::uint64_t Taken() const { return taken_; }

  private:
    std::array<void*, kCachedBlocks> blocks_{};
    std::size_t count_ = 0;
    std::uint64_t taken_ = 0;
};

ThreadBlockCache& ThisThreadsBlocks() {
    thread_local ThreadBlockCache cache;
    return cache;
}

}  // namespace

void* BOOST_REGEX_CALL get_mem_block() {
    return ThisThreadsBlocks().Take();
}

void BOOST_REGEX_CALL put_mem_block(void* block) {
    ThisThreadsBlocks().Give(block);
}

}  // namespace boost::BOOST_REGEX_DETAIL_NS

namespace lintaro {

std::uint64_t EngineBlocksTakenOnThisThread() {
    return boost::BOOST_REGEX_DETAIL_NS::ThisThreadsBlocks().Taken();
}

}  // namespace lintaro
