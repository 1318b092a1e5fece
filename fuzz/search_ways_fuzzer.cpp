// Fuzz target: every way of searching (skipping to candidate places, splitting the text over
// threads) gives exactly the matches of the one-thread loop that lets the engine try every place,
// over patterns built from a grammar of the engine's constructs.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "match/regex.h"
#include "tests/match/describe_results.h"

namespace lintaro {
namespace {

constexpr int kMaxDepth = 3;
constexpr std::size_t kMaxPieceSize = 128;
constexpr int kMostRepeats = 4;  // the piece of text repeated: alike stretches in every part

// Pieces that stand alone: bytes, classes, anchors, verbs, references to groups 1 and 2 and
// to the group named n, quoted text, comments and options. (*SKIP) follows a byte: where
// nothing was matched before it, the engine spends its whole complexity budget and gives up,
// which takes seconds over a few hundred bytes.
constexpr std::array<std::string_view, 48> kAtoms = {
    "a",
    "b",
    "ab",
    "x",
    "A",
    " ",
    "\\n",
    ".",
    "[ab]",
    "[^a]",
    "\\w",
    "\\s",
    "\\d",
    "[[:alpha:]]",
    "^",
    "$",
    "\\A",
    "\\z",
    "\\Z",
    "\\b",
    "\\B",
    "\\G",
    "\\<",
    "\\>",
    "a(*SKIP)",
    "(*F)",
    "(*COMMIT)",
    "(*PRUNE)",
    "(*ACCEPT)",
    "(*THEN)",
    "\\1",
    "\\2",
    "\\k<n>",
    "\\Qa(\\E",
    "\\Q*b\\E",
    "(?#c)",
    "(?i)",
    "(?-i)",
    "(?s)",
    "(?m)",
    "(?x) a # c\n",
    "(?<=a)",
    "(?<!b)",
    "(?<=ab|x)",
    "\\K",
    "a\\x62",
    "[[:<:]]",
    "\\n?",
};

// Quantifiers put after a piece.
constexpr std::array<std::string_view, 10> kQuantifiers = {
    "", "", "", "*", "+", "?", "{1,3}", "*?", "++", "{2}",
};

std::string Sequence(FuzzInput& input, int depth);

// A choice among enough literals (some with word boundaries around them, some part of
// others) for searches to look for the literals themselves.
std::string LiteralChoice(FuzzInput& input) {
    constexpr std::array<std::string_view, 16> kLiterals = {
        "a",  "b",  "ab", "ba",   "aab", "x",    "A",    "a ",
        "bx", "xa", "_",  "aaab", "\\*", "abab", "\\ba", "b\\b"};
    std::string choice;
    for (int count = input.TakeInt(9, 14); count > 0; --count) {
        if (!choice.empty()) choice += '|';
        choice += kLiterals[input.TakeByte() % kLiterals.size()];
    }
    return choice;
}

// A group or assertion around a sequence, an alternative, a condition, or a choice of literals.
std::string Compound(FuzzInput& input, int depth) {
    switch (input.TakeInt(0, 12)) {
        case 0:
            return "(" + Sequence(input, depth) + ")";
        case 1:
            return "(?:" + Sequence(input, depth) + ")";
        case 2:
            return "(?<n>" + Sequence(input, depth) + ")";
        case 3:
            return "(?>" + Sequence(input, depth) + ")";
        case 4:
            return "(?=" + Sequence(input, depth) + ")";
        case 5:
            return "(?!" + Sequence(input, depth) + ")";
        case 6:
            return "(?(1)" + Sequence(input, depth) + "|" + Sequence(input, depth) + ")";
        case 7:
            return "(?(?=a)" + Sequence(input, depth) + "|" + Sequence(input, depth) + ")";
        case 8:
            return "(?i:" + Sequence(input, depth) + ")";
        case 9:
            return "(?x: " + Sequence(input, depth) + " # c\n)";
        case 10:
            return "(" + LiteralChoice(input) + ")";
        case 11:
            return LiteralChoice(input);
        default:
            return Sequence(input, depth) + "|" + Sequence(input, depth);
    }
}

// One atom or compound with its quantifier.
std::string Piece(FuzzInput& input, int depth) {
    const std::uint8_t choice = input.TakeByte();
    std::string piece = depth >= kMaxDepth || choice < 192
                            ? std::string(kAtoms[choice % kAtoms.size()])
                            : Compound(input, depth + 1);
    const std::string_view quantifier = kQuantifiers[input.TakeByte() % kQuantifiers.size()];
    // The engine can loop for ever repeating a verb (as in "(?=(*ACCEPT))+"): verbs stay alone.
    if (piece.find("(*") != std::string::npos) return piece;
    return piece + std::string(quantifier);
}

std::string Sequence(FuzzInput& input, int depth) {
    std::string sequence;
    for (int count = input.TakeInt(1, 3); count > 0; --count) sequence += Piece(input, depth);
    return sequence;
}

// Bytes the atoms look for, and a few they do not.
std::string Text(std::string_view piece, int repeats) {
    constexpr std::string_view kAlphabet = "aaabbx A\n_(*<\xE4";
    std::string text;
    for (int r = 0; r < repeats; ++r) {
        for (const char c : piece)
            text += kAlphabet[static_cast<unsigned char>(c) % kAlphabet.size()];
    }
    return text;
}

}  // namespace
}  // namespace lintaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    FuzzInput input(data, size);
    const bool case_sensitive = input.TakeBool();
    const int parts = input.TakeInt(1, 9);
    const int threads = input.TakeInt(1, 3);
    const int repeats = input.TakeInt(1, kMostRepeats);
    const std::string pattern = Sequence(input, 0);
    const std::string text = Text(input.TakeBytes(kMaxPieceSize), repeats);

    regex expression;
    if (!expression.Compile(pattern, case_sensitive) || text.empty()) return 0;
    const std::string plain =
        Describe(expression.SearchAll(text, {.parts = 1, .threads = 1, .skip = StartSkip::kNone}));
    // The engine's stack and budget depend on where its attempts begin. A search that gives up
    // after skipping is repeated without (see regex.cpp), but one that skips the place where the
    // plain loop gave up may find no reason to: it must then find the plain loop's matches, and
    // may go on past them.
    const std::size_t gave_up = plain.find("gave up: ");
    const auto agrees = [&](const std::string& found) {
        return gave_up == std::string::npos ? found == plain
                                            : found.compare(0, gave_up, plain, 0, gave_up) == 0;
    };
    for (const StartSkip skip : {StartSkip::kNone, StartSkip::kAuto, StartSkip::kFirstCandidate,
                                 StartSkip::kEachCandidate}) {
        const std::string found = Describe(
            expression.SearchAll(text, {.parts = parts, .threads = threads, .skip = skip}));
        if (!agrees(found)) {
            std::fprintf(stderr, "pattern: %s\nskip %d, %d parts\nplain: %s\nfound: %s\n",
                         pattern.c_str(), static_cast<int>(skip), parts, plain.c_str(),
                         found.c_str());
        }
        FuzzCheck(agrees(found), "every way of searching finds what the plain loop finds");
    }
    // Handing the matches over while the threads search joins the parts the same way.
    const std::string handed_over =
        DescribeHandedOver(expression, text, {.parts = parts, .threads = threads});
    if (!agrees(handed_over)) {
        std::fprintf(stderr, "pattern: %s\nhanded over, %d parts\nplain: %s\nfound: %s\n",
                     pattern.c_str(), parts, plain.c_str(), handed_over.c_str());
    }
    FuzzCheck(agrees(handed_over), "matches handed over are those the plain loop finds");
    return 0;
}
