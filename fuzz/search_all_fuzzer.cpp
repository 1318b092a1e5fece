// Fuzz target: the search loop over fuzzed patterns and texts, checked for where its matches lie.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "match/regex.h"

namespace lintaro {
namespace {

// Short texts keep every search within the engine's own complexity bounds in milliseconds.
constexpr std::size_t kMaxPatternSize = 128;
constexpr std::size_t kMaxTextSize = 512;

bool Inside(SubMatchSpan span, std::int64_t first, std::int64_t last) {
    return span.offset >= first && span.length >= 0 && span.offset + span.length <= last;
}

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    const bool case_sensitive = input.TakeBool();
    const std::string pattern(input.TakeText(kMaxPatternSize));
    const std::string text(input.TakeBytes(kMaxTextSize));

    regex expression;
    const bool compiled = expression.Compile(pattern, case_sensitive);
    FuzzCheck(compiled || !expression.CompileErrorMessage().empty(),
              "a pattern that does not compile says why");
    FuzzCheck(compiled || expression.GetGroupCount() == 0,
              "a new object that holds nothing has no groups");
    const SearchResults results = expression.SearchAll(text);
    FuzzCheck(compiled || results.empty(), "a pattern that does not compile finds nothing");
    FuzzCheck(results.GroupCount() == expression.GetGroupCount(), "every match has G + 1 records");

    const auto text_size = static_cast<std::int64_t>(text.size());
    std::int64_t search_start = 0;
    for (std::int64_t i = 0; i < results.size(); ++i) {
        const SearchResult result = results[i];
        const SubMatchSpan whole = result.Span(0);
        FuzzCheck(Inside(whole, search_start, text_size),
                  "a match lies between its search's start and the end of the text");
        FuzzCheck(result.GetMatchText(text) ==
                      std::string_view(text).substr(static_cast<std::size_t>(whole.offset),
                                                    static_cast<std::size_t>(whole.length)),
                  "the match text is the bytes at its span");
        for (int j = 1; j <= results.GroupCount(); ++j) {
            const SubMatchSpan group = result.Span(j);
            if (!group.matched()) {
                FuzzCheck(result.GetSubMatchText(text, j).empty(),
                          "a group that took no part is empty");
                continue;
            }
            // Look-behind cannot reach before the search's start, so neither can a group.
            FuzzCheck(Inside(group, search_start, text_size),
                      "a group lies between its search's start and the end of the text");
            FuzzCheck(result.GetSubMatchText(text, j) ==
                          std::string_view(text).substr(static_cast<std::size_t>(group.offset),
                                                        static_cast<std::size_t>(group.length)),
                      "a group's text is the bytes at its span");
        }
        FuzzCheck(!result.Span(results.GroupCount() + 1).matched(), "no record beyond the groups");
        const std::int64_t match_end = whole.offset + whole.length;
        if (match_end == search_start) {
            FuzzCheck(i + 1 == results.size(), "an empty match at its search's start ends the run");
        }
        search_start = match_end;
    }
    // Searching again gives the same matches: the loop keeps no state between runs.
    const SearchResults again = expression.SearchAll(text);
    FuzzCheck(again.size() == results.size(), "a second search finds as many matches");
    FuzzCheck(again.EngineGaveUp() == results.EngineGaveUp(), "a second search ends the same way");
    return 0;
}
