// Fuzz target: ReplacePairs over fuzzed pairs and texts, checked against the plain pass rule.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/replace_pairs.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace lintaro {
namespace {

std::size_t FindAtCharacter(CharacterSetKind kind, std::string_view text, std::string_view find) {
    for (std::size_t pos = 0; pos < text.size(); pos += CharacterLengthAt(kind, text, pos)) {
        if (text.substr(pos, find.size()) == find) return pos;
    }
    return std::string_view::npos;
}

// The rule as it reads: a pass lets each pair replace its first occurrence; passes go on while
// any find text is left in the text after a pass.
std::string ReferenceReplace(std::string text, const std::vector<ReplacePair>& pairs,
                             CharacterSetKind kind) {
    bool left = true;
    while (left) {
        left = false;
        for (const ReplacePair& pair : pairs) {
            if (pair.find.empty()) continue;
            const std::size_t at = FindAtCharacter(kind, text, pair.find);
            if (at == std::string_view::npos) continue;
            text.replace(at, pair.find.size(), pair.replacement);
        }
        for (const ReplacePair& pair : pairs) {
            if (!pair.find.empty() &&
                FindAtCharacter(kind, text, pair.find) != std::string_view::npos) {
                left = true;
            }
        }
    }
    return text;
}

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    const CharacterSetKind kind = static_cast<CharacterSetKind>(input.TakeInt(0, 2));
    std::vector<std::string> finds;
    std::vector<std::string> replacements;
    for (int count = input.TakeInt(1, 5); count > 0; --count) {
        finds.emplace_back(input.TakeText(4));
        replacements.emplace_back(input.TakeText(8));
    }
    // Replacements share no byte with any find text, so every occurrence is made of bytes of the
    // original text and the passes end (a replacement merely free of find texts could still
    // combine with its neighbours forever).
    bool find_byte[256] = {};
    for (const std::string& find : finds) {
        for (char c : find) find_byte[static_cast<unsigned char>(c)] = true;
    }
    std::vector<ReplacePair> pairs;
    for (std::size_t i = 0; i < finds.size(); ++i) {
        std::erase_if(replacements[i],
                      [&](char c) { return find_byte[static_cast<unsigned char>(c)]; });
        pairs.push_back({finds[i], replacements[i]});
    }
    const std::string text(input.TakeBytes(256));

    const std::string replaced = ReplacePairs(text, pairs, kind);
    for (const ReplacePair& pair : pairs) {
        FuzzCheck(pair.find.empty() ||
                      FindAtCharacter(kind, replaced, pair.find) == std::string_view::npos,
                  "no find text is left at a character start");
    }
    FuzzCheck(replaced == ReferenceReplace(text, pairs, kind),
              "the result is the pass rule's result");
    return 0;
}
