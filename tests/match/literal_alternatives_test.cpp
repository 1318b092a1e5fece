// Tests of the literal choices read from patterns: which patterns are read, how a choice is
// narrowed, and where the literals are found in a text.
#include "match/literal_alternatives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lintaro {
namespace {

TEST(LiteralAlternativesTest, ReadsOnlyChoicesEveryMatchBeginsWith) {
    const struct {
        const char* pattern;
        // The pattern narrowed to its second alternative (or its only one); nullptr when the
        // pattern is not read.
        const char* narrowed;
    } cases[] = {
        {"one|two|three", "two"},
        {"xylophone", "xylophone"},
        {"\\bone\\b|^tw\\.o$|\\Athree\\z", "^tw\\.o$"},
        {"\\b(?:one|two)\\s*=", "\\b(?:two)\\s*="},
        {"(?<w>one|two)\\k<w>", "(?<w>two)\\k<w>"},
        {"(?>one|two)[|)]+(x|y)\\|", "(?>two)[|)]+(x|y)\\|"},
        // A quantified byte or group, or a choice after the group, lets a match begin elsewhere.
        {"one|tw?o", nullptr},
        {"(?:one|two)+", nullptr},
        {"(?:one|two)?x", nullptr},
        {"(?:one|two)x|three", nullptr},
        {"one|\\w+", nullptr},
        {"one|", nullptr},
        {"(?:one|)x", nullptr},
        {"[ab]c|d", nullptr},
        {"(?=o)(?:one|two)", nullptr},
        {"(?:one|t(w)o)", nullptr},
        {"one\\n|two", nullptr},
        // Constructs whose result is not that of one attempt at one place alone, or that change
        // how the rest reads.
        {"\\Gone|two", nullptr},
        {"(*SKIP)one|two", nullptr},
        {"(?:one|two)(*F)|x", nullptr},
        {"(?i)one|two", nullptr},
        {"(?:one|two)(?i)x", nullptr},
        {"(one|two)(?1)", nullptr},
        {"(one|two)(?(1)a|b)", nullptr},
        {"\\Qone\\E|two", nullptr},
        {"(one|two)(?#c)*", nullptr},
    };
    for (const auto& c : cases) {
        const auto literals = LiteralAlternatives::Read(c.pattern, true);
        if (c.narrowed == nullptr) {
            EXPECT_FALSE(literals) << c.pattern;
            continue;
        }
        ASSERT_TRUE(literals) << c.pattern;
        const std::vector<std::uint32_t> second = {literals->Count() > 1 ? 1U : 0U};
        EXPECT_EQ(literals->PatternWith(second), c.narrowed) << c.pattern;
    }
    EXPECT_EQ(LiteralAlternatives::Read("\\bone\\b|^tw\\.o$", true)->LiteralsPattern(),
              "one|tw\\.o");
}

// The places Next finds from each place on, and the alternatives at them.
std::string Describe(const LiteralAlternatives& literals, std::string_view text) {
    std::string places;
    std::vector<std::uint32_t> alternatives;
    for (std::int64_t at = literals.Next(text, 0); at < static_cast<std::int64_t>(text.size());
         at = literals.Next(text, at + 1)) {
        literals.AlternativesAt(text, at, alternatives);
        places += std::to_string(at) + ":";
        for (const std::uint32_t alternative : alternatives) {
            places += std::to_string(alternative);
        }
        places += " ";
    }
    return places;
}

TEST(LiteralAlternativesTest, FindsEveryPlaceALiteralBegins) {
    const struct {
        const char* pattern;
        bool fold_case;
        const char* text;
        const char* places;
    } cases[] = {
        // Literals of four bytes and more: found by their first four.
        {"abcd|abcdx|wxyz", false, "ABCDX abcdx wxyzabcd", "6:01 12:2 16:01 "},
        {"abcd|abcdx|wxyz", true, "ABCDX abcdx wxYzabcd", "0:01 6:01 12:2 16:01 "},
        // Shorter literals, a literal that is part of another, and the last bytes of the text.
        {"b|ab|abc", false, "abcab", "0:12 1:0 3:12 4:0 "},
        {"ab|ba", true, "xABa", "1:0 2:1 "},
        // A literal cut by the end of the text still marks its place (so does abcdx above).
        {"(?:abcdef|xyz)\\d", false, "..abcd", "2:0 "},
        // Folding joins any two bytes that differ only in bit 0x20, letters or not: a place
        // too many, which the engine turns down.
        {"a@b|xyz", true, "a`b A@B", "0:0 4:0 "},
        {"\xe4\xb8\xad\xe6\x96\x87|\xc4\x80", true, "\xe4\xb8\xad\xe6\x96\x87\xc4\x80", "0:0 6:1 "},
    };
    for (const auto& c : cases) {
        const auto literals = LiteralAlternatives::Read(c.pattern, c.fold_case);
        ASSERT_TRUE(literals) << c.pattern;
        EXPECT_EQ(Describe(*literals, c.text), c.places) << c.pattern << " in " << c.text;
    }
}

}  // namespace
}  // namespace lintaro
