// Record stores whose matches have been written, kept for the next parts of a search to fill.
#include "match/span_store_pool.h"

#include <utility>

namespace lintaro {

namespace {

// The most room kept: a few parts' records, so that keeping them adds little to the memory a
// search holds at its busiest.
constexpr std::size_t kMostKeptBytes = std::size_t{4} << 20;
// Less room is not worth keeping: a part would soon outgrow it.
constexpr std::size_t kLeastKeptBytes = std::size_t{64} << 10;

std::size_t RoomOf(const SpanStore& store) {
    return store.capacity() * sizeof(SpanStore::value_type);
}

}  // namespace

SpanStore SpanStorePool::Take() {
    SpanStore store;
    {
        const std::lock_guard lock(mutex_);
        if (stores_.empty()) return store;
        store = std::move(stores_.back());
        stores_.pop_back();
        kept_bytes_ -= RoomOf(store);
    }
    store.clear();
    return store;
}

void SpanStorePool::Give(SpanStore store) {
    const std::size_t room = RoomOf(store);
    if (room < kLeastKeptBytes) return;
    const std::lock_guard lock(mutex_);
    if (kept_bytes_ + room > kMostKeptBytes) return;  // freed as it goes
    kept_bytes_ += room;
    stores_.push_back(std::move(store));
}

}  // namespace lintaro
