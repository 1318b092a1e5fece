// Tests that the engine takes its backtracking memory from the program's per-thread cache.
#include "match/regex_block_cache.h"

#include <gtest/gtest.h>

#include <string>

#include "match/regex.h"

namespace lintaro {
namespace {

// The library's own pair of functions would give the same matches, so only the cache's count
// shows that the program's definitions are the ones the engine calls.
TEST(RegexBlockCacheTest, EngineTakesItsBlocksFromTheProgramsCache) {
    regex expression;
    ASSERT_TRUE(expression.Compile("(a|ab)*c", true));
    const std::uint64_t before = EngineBlocksTakenOnThisThread();
    // One part on this thread, so every engine call runs where the count is read.
    const SearchResults results =
        expression.SearchAll(std::string(64, 'a') + "b c", SearchOptions{.parts = 1, .threads = 1});
    EXPECT_EQ(results.size(), 1);
    EXPECT_GT(EngineBlocksTakenOnThisThread(), before);
}

}  // namespace
}  // namespace lintaro
