// A search's results as one text, for tests that compare searches made in different ways.
#pragma once

#include <string>
#include <string_view>

#include "match/parallel_search.h"
#include "match/regex.h"
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

// The search with its matches handed over in batches, described as Describe describes the
// search that keeps them: the batches in order, then how the search ended (which keeps none).
// batches, when given, counts the batches.
inline std::string DescribeHandedOver(const regex& expression, std::string_view text,
                                      SearchOptions options, int* batches = nullptr) {
    std::string described;
    options.hand_over = [&](const SearchResults& batch) {
        described += Describe(batch);
        if (batches != nullptr) ++*batches;
    };
    const SearchResults ending = expression.SearchAll(text, options);
    if (!ending.empty()) described += "kept matches after handing over|";
    return described + Describe(ending);
}

}  // namespace lintaro
