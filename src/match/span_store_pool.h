// Record stores whose matches have been written, kept for the next parts of a search to fill.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "match/search_result.h"

namespace lintaro {

// A search that hands its matches over as it goes drops each batch's stores once the batch is
// written, while its threads begin new ones for the parts after it. Fresh memory costs a page
// fault for every page first touched, and such a search would touch fresh memory for all its
// records; a store given back here is filled again instead. Safe to use from several threads.
class SpanStorePool {
  public:
    // An empty store, with the room of the store given back last if one is kept.
    SpanStore Take();
    // Keeps store's room for a later Take while the kept stores' room stays within a bound;
    // frees it otherwise.
    void Give(SpanStore store);

  private:
    std::mutex mutex_;
    std::vector<SpanStore> stores_;
    std::size_t kept_bytes_ = 0;
};

}  // namespace lintaro
