// A search's results as one text, for tests that compare searches made in different ways.
#pragma once

#include <string>

#include "match/search_result.h"

namespace lintaro {

// Every record of every match ("offset,length" or "-" for a group that took no part), and how
// the search ended.
inline std::string Describe(const SearchResults& results) {
    std::string out;
    for (std::int64_t m = 0; m < results.size(); ++m) {
        for (int j = 0; j <= results.GroupCount(); ++j) {
            const SubMatchSpan span = results[m].Span(j);
            out += span.matched() ? std::to_string(span.offset) + "," + std::to_string(span.length)
                                  : "-";
            out += j < results.GroupCount() ? " " : "|";
        }
    }
    if (results.EngineGaveUp()) out += "gave up: " + results.EngineMessage();
    if (results.Cancelled()) out += "cancelled";
    return out;
}

}  // namespace lintaro
