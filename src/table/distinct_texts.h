// The distinct texts of a column, for the operations that group its rows by their text.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/huge_pages.h"

namespace lintaro {

struct DistinctTexts {
    // Each text once, in the order it first occurs.
    std::vector<std::string_view> texts;
    // For each text given, the index of its text in texts.
    HugePageVector<std::uint32_t> index_of;
};

// Harvests repeat their texts a lot (a link per menu entry, the same anchor text): the
// operations that compare texts look at each one once.
DistinctTexts FindDistinctTexts(std::span<const std::string_view> texts);

}  // namespace lintaro
