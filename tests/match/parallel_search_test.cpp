// Tests of the search split over threads: it must give exactly the result of searching alone,
// report its progress, and stop on request with a beginning of the full result.
#include "match/parallel_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/text_buffer.h"
#include "describe_results.h"
#include "match/match_run.h"
#include "match/regex.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// splitmix64: the same texts on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

  private:
    std::uint64_t state_;
};

std::vector<std::string> Texts() {
    std::vector<std::string> texts = {
        "a",
        "ab",
        std::string(200, 'a'),
        "x" + std::string(30, 'a') + " x x x",  // the engine gives up after the first x
        std::string(30, 'a') + "c" + std::string(30, 'a'),
        "<a href=\"x\">t</a> <b>u</b>\n<a>v</a><a>\n</a>",
    };
    Random random(7);
    for (const std::string alphabet : {"ab", "ab \n", "aab<>/ \nxA", "a\n"}) {
        for (int i = 0; i < 8; ++i) {
            std::string text(1 + random.Below(400), ' ');
            for (char& c : text) c = alphabet[random.Below(alphabet.size())];
            texts.push_back(text);
        }
    }
    return texts;
}

struct PatternCase {
    const char* pattern;
    bool case_sensitive = true;
};

const PatternCase kPatterns[] = {
    {"a"},
    {"ab|b"},
    {"a+"},
    {"a*"},
    {"b*"},
    {"z*"},
    {"^a"},
    {"^"},
    {"$"},
    {"^$"},
    {"\\b"},
    {"\\B"},
    {"\\ba"},
    {"a\\b"},
    {"\\Ab"},
    {"(?<=a)b"},
    {"(?<!a)b"},
    {"(?<=\\n)a"},
    {"(a|b)\\1"},
    {"(a)(b)?"},
    {"([ab])\\1+"},
    {"."},
    {".{3}"},
    {".*"},
    {"[^\\n]*\\n"},
    {"a.*?b"},
    {"\\s+"},
    {"(?=b)"},
    {"a(?=b)"},
    {"a(?!b)"},
    {"<[^>]*>"},
    {"<(a|b)[^>]*>([^<]*)</\\1>"},
    {"x|(a+)+c"},
    {"(a|aa)+$"},
    {"A+", false},
    {"[A-B]{2}", false},
    // Patterns whose matches can begin only at some bytes: searches skip ahead to those.
    {"[ab]{2,}"},
    {"[a<]\\w*"},
    {"\\w+"},
    {"b+a"},
    {"ab"},
    {"ba|ab"},
    {"x|ab"},
    {"(?:ab|b>)+"},
    {"a\\n"},
    {"\\n|<"},
    {"(a)|b(?=a)"},
    {"(?=a)\\w"},
    {"(?!a)[ab]"},
    {"\\s*a"},
    {"[^a]b"},
    {"a$"},
    {"b\\z"},
    {"(?i)X"},
    {"(?<g>a)b"},
    {"\\x61b"},
    {"AB", false},
    {"[^<]A", false},
    {"<A[^>]*>", false},
    {"a\\\\b|b"},
    // Anchors inside a negative look-ahead: probing a place as the start or end of a short text
    // makes them hold, and the look-ahead fail, where a match can begin.
    {"(?!^a+\\Z)[[:alpha:]]{1,3}"},
    {"(?!a\\z)a"},
    {"(?!b$)b"},
    // Choices among more literals than byte starts serve, or behind word boundaries: searches
    // look for the literals and narrow the choice to those found at a place. Shorter
    // alternatives first, alternatives the rest backtracks into, groups referred to later.
    {"aab|ab|b|ba|xa|x|bb|abb|aaa|a b"},
    {"^ab|ba$|\\bxa|aa\\b|\\Bbb|abb|bab|aab|bba|x a"},
    {"\\b(?:ab|ba|aa|bb|aab|abb|bab|bba|baa|xa)\\b"},
    {"(?:a|aa|aab|ab|ba|bb|abab|baba|bab|aba)b"},
    {"(?>a|ab|b|ba|bb|aa|aab|abb|xb)b"},
    {"(?<w>ab|ba|aa|bb|xa|ax|bx|xb|a<)\\k<w>"},
    {"(ab|aab|b|ba|a|xa|ax|bx|xb|<a)(b*)[^a]"},
    {"abab|abba|baab|baba|aabb|bbaa|abaa|babb|a b "},
    {"AB|BA|AAB|XA|A<|B>|AA|BB|BAB|XB", false},
    {"\\b(?:ab|ba)\\b"},
    {"(a|abab|\\*|a|a|a|a|a|a)(?#c)*"},
    // Verbs, "\\G" and conditions: the search may not skip ahead in these.
    {"aaa(*SKIP)(*F)|a"},
    {"aa(*COMMIT)b|a"},
    {"a(*PRUNE)b|a"},
    {"\\Ga"},
    {"(a)?(?(1)b|a)"},
};

struct SplitCase {
    int parts;
    int threads;
};

const SplitCase kSplits[] = {{1, 1}, {2, 2}, {3, 1}, {3, 3}, {5, 2}, {8, 3}, {64, 2}};

const StartSkip kSkips[] = {StartSkip::kAuto, StartSkip::kNone, StartSkip::kFirstCandidate,
                            StartSkip::kEachCandidate};

// Compares the split search with the search alone that lets the engine try every place, over
// every pattern, text, split and way of skipping to where a match can begin; small texts and
// many parts put split points inside matches, inside runs of empty matches and between the two
// searches of an empty match found after its start.
// Every split with the automatic skip; every skip alone and with one split.
std::vector<std::pair<SplitCase, StartSkip>> Combinations() {
    std::vector<std::pair<SplitCase, StartSkip>> combinations;
    for (const SplitCase& split : kSplits) combinations.emplace_back(split, StartSkip::kAuto);
    for (const StartSkip skip : kSkips) {
        if (skip == StartSkip::kAuto) continue;
        combinations.emplace_back(SplitCase{1, 1}, skip);
        combinations.emplace_back(SplitCase{5, 2}, skip);
    }
    return combinations;
}

TEST(ParallelSearchTest, SplitSearchEqualsSearchAlone) {
    const std::vector<std::string> texts = Texts();
    for (const PatternCase& pattern : kPatterns) {
        regex expression;
        ASSERT_TRUE(expression.Compile(pattern.pattern, pattern.case_sensitive)) << pattern.pattern;
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const std::string alone =
                Describe(expression.SearchAll(texts[t], {.parts = 1, .skip = StartSkip::kNone}));
            for (const auto& [split, skip] : Combinations()) {
                WorkProgress progress;
                const SearchResults results = expression.SearchAll(
                    texts[t], {.parts = split.parts, .threads = split.threads, .skip = skip},
                    &progress);
                ASSERT_EQ(Describe(results), alone)
                    << "pattern " << pattern.pattern << ", text " << t << ", " << split.parts
                    << " parts, skip " << static_cast<int>(skip);
                // Every byte is counted once; matches that overlapping work found count twice.
                ASSERT_EQ(progress.Done(), static_cast<std::int64_t>(texts[t].size()));
                ASSERT_GE(progress.Found(), results.size());
                // Handed over while the threads search, a few parts ahead of the join.
                ASSERT_EQ(DescribeHandedOver(
                              expression, texts[t],
                              {.parts = split.parts, .threads = split.threads, .skip = skip}),
                          alone)
                    << "handed over: pattern " << pattern.pattern << ", text " << t << ", "
                    << split.parts << " parts, skip " << static_cast<int>(skip);
            }
        }
    }
}

// Long texts, where the automatic way decides from its sample of tries whether to go on trying
// candidates one at a time: rare and dense candidates, dense ones that mostly fail.
TEST(ParallelSearchTest, SkippingEqualsTryingEveryPlace) {
    Random random(11);
    std::vector<std::string> texts;
    for (const std::string alphabet : {"ab        \n", "ab01x<> \n", "0123456789 a", "aAbB"}) {
        std::string text(60000, ' ');
        for (char& c : text) c = alphabet[random.Below(alphabet.size())];
        texts.push_back(text);
    }
    const PatternCase patterns[] = {{"[0-9]{3,}"},
                                    {"\\w+"},
                                    {"[ab]{3,}x?"},
                                    {"ab|ba"},
                                    {"aab"},
                                    {"AbB", false},
                                    {"<\\w+>"},
                                    {"x|(a+)+c"},
                                    {"aab|ab0|ba1|x<|<x|0a|1b|bba|> a"},
                                    {"\\b(?:AAB|ABA|BAB|BBA|ABB|BAA|AABB|ABAB|BABA)", false}};
    for (const PatternCase& pattern : patterns) {
        regex expression;
        ASSERT_TRUE(expression.Compile(pattern.pattern, pattern.case_sensitive)) << pattern.pattern;
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const std::string plain =
                Describe(expression.SearchAll(texts[t], {.parts = 1, .skip = StartSkip::kNone}));
            for (const StartSkip skip : kSkips) {
                for (const int parts : {1, 2}) {
                    ASSERT_EQ(
                        Describe(expression.SearchAll(texts[t], {.parts = parts, .skip = skip})),
                        plain)
                        << "pattern " << pattern.pattern << ", text " << t << ", skip "
                        << static_cast<int>(skip);
                }
            }
        }
    }
}

// Verbs act on the places the engine's own search tries: skipping to candidates or trying them
// one at a time changed which matches were found.
TEST(ParallelSearchTest, VerbsGiveTheMatchesOfTheEnginesOwnSearch) {
    const std::string text = "xaaaa baaa a aaaab";
    const struct {
        const char* pattern;
        const char* matches;
    } cases[] = {
        {"aaa(*SKIP)(*F)|a", "4,1|11,1|16,1|"},
        {"aa(*COMMIT)b|a", ""},
    };
    for (const auto& c : cases) {
        regex expression;
        ASSERT_TRUE(expression.Compile(c.pattern, true)) << c.pattern;
        for (const StartSkip skip : kSkips) {
            for (const int parts : {1, 3}) {
                EXPECT_EQ(Describe(expression.SearchAll(text, {.parts = parts, .skip = skip})),
                          c.matches)
                    << c.pattern << ", " << parts << " parts, skip " << static_cast<int>(skip);
            }
        }
    }
}

TEST(ParallelSearchTest, GivingUpIsSeenWhereSearchingAloneStops) {
    regex expression;
    ASSERT_TRUE(expression.Compile("x|(a+)+c", true));
    const std::string text = "x" + std::string(30, 'a') + " x x x";
    const SearchResults results = expression.SearchAll(text, {.parts = 4, .threads = 2});
    EXPECT_EQ(Describe(results).substr(0, 13), "0,1 -|gave up");
}

// A text of a megabyte or more is split by default; the preset pattern over generated anchors.
TEST(ParallelSearchTest, LargeTextSplitByDefault) {
    std::string text;
    Random random(3);
    while (text.size() < (std::size_t{3} << 19)) {
        text += random.Below(3) == 0 ? "<a href=\"/rel\">r</a>\n" : "<A HREF=\"https://h";
        text += std::to_string(random.Below(1000)) + ".cn/p\">t 中</a> ";
    }
    regex expression;
    ASSERT_TRUE(expression.Compile(kPresetPattern, false));
    const SearchResults alone = expression.SearchAll(text, {.parts = 1});
    EXPECT_GT(alone.size(), 10000);
    EXPECT_EQ(Describe(expression.SearchAll(text)), Describe(alone));
    // Handed over, the matches come a part of the text at a time.
    int batches = 0;
    EXPECT_EQ(DescribeHandedOver(expression, text, {}, &batches), Describe(alone));
    EXPECT_GE(batches, static_cast<int>(text.size() / kHandOverPartBytes));
}

// A mapped file cut while it is searched: the threads stop where its pages are lost instead of
// searching the zeros there, and the result is that of the text before the file's new end.
TEST(ParallelSearchTest, MappedFileCutStopsTheSearchAtItsNewEnd) {
    const TempDir directory;
    std::string bytes;
    while (bytes.size() < (std::size_t{4} << 20)) bytes += "ab ";
    const fs::path path = directory.Write("cut.txt", bytes);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    FileMapping mapping;
    ASSERT_FALSE(FileMapping::Map(fd, bytes.size(), mapping));
    ::close(fd);
    const TextBuffer text(std::move(mapping));
    const std::size_t new_end = (std::size_t{1} << 20) + 100;  // inside a page
    fs::resize_file(path, new_end);

    // Each zero byte would be a match of its own.
    regex expression;
    ASSERT_TRUE(expression.Compile("a|\\x00", true));
    WorkProgress progress;
    const SearchResults results = expression.SearchAll(
        text.View(), {.parts = 4, .threads = 2, .mapped_text = &text}, &progress);

    const SearchResults before_new_end = expression.SearchAll(bytes.substr(0, new_end));
    EXPECT_EQ(results.size(), before_new_end.size());
    EXPECT_TRUE(Describe(results) == Describe(before_new_end));
    EXPECT_TRUE(DescribeHandedOver(expression, text.View(),
                                   {.parts = 4, .threads = 2, .mapped_text = &text}) ==
                Describe(before_new_end));
    EXPECT_LE(text.LostFrom(), new_end + 4096);
    // The zeros searched at most: the rest of the new end's page, and a match per part.
    EXPECT_LT(progress.Found(), results.size() + 2 * 4096 + 8);
}

// A search that finds no match up to its limit may stop there, and leave the rest to the part
// that begins there, only when the pattern's matches do not depend on where the search began.
TEST(ParallelSearchTest, ASearchStopsAtItsLimitOnlyWhereThatKeepsItsResult) {
    const std::string text = std::string(1000, 'a') + "xylophone ^x";
    const struct {
        const char* pattern;
        std::int64_t limit;
        SearchCursor::Outcome outcome;
    } cases[] = {
        {"xylophone", 500, SearchCursor::Outcome::kNoMatchUpToLimit},
        {"xylophone", 999, SearchCursor::Outcome::kNoMatchUpToLimit},
        {"xylophone", 1000, SearchCursor::Outcome::kMatch},  // a match at the limit counts
        {"xylophone", INT64_MAX, SearchCursor::Outcome::kMatch},
        {"zebra", 500, SearchCursor::Outcome::kNoMatchUpToLimit},
        {"zebra", INT64_MAX, SearchCursor::Outcome::kNoMatch},
        // "^" holds where the search begins: a search begun at the limit could match there.
        {"^b|xylophone", 500, SearchCursor::Outcome::kMatch},
        {"^b|zebra", 500, SearchCursor::Outcome::kNoMatch},
        // A pattern that can match the empty text has no candidates to skip to.
        {"x*", 500, SearchCursor::Outcome::kMatch},
    };
    for (const auto& c : cases) {
        regex expression;
        ASSERT_TRUE(expression.Compile(c.pattern, true)) << c.pattern;
        for (const StartSkip skip :
             {StartSkip::kAuto, StartSkip::kFirstCandidate, StartSkip::kEachCandidate}) {
            const std::unique_ptr<SearchCursor> cursor = expression.MakeCursors(text, skip)();
            std::vector<SubMatchSpan> spans(1);
            EXPECT_EQ(cursor->SearchFrom(1, c.limit, spans), c.outcome)
                << c.pattern << ", limit " << c.limit << ", skip " << static_cast<int>(skip);
        }
    }
}

// Finds a three-byte match at every tenth byte and asks for a cancel at the given search.
class FakeCursor : public SearchCursor {
  public:
    FakeCursor(std::int64_t text_size, std::atomic<int>& searches, int cancel_at,
               WorkProgress& progress)
        : text_size_(text_size), searches_(searches), cancel_at_(cancel_at), progress_(progress) {}

    Outcome SearchFrom(std::int64_t start, std::int64_t /*limit*/,
                       std::span<SubMatchSpan> spans) override {
        if (++searches_ == cancel_at_) progress_.RequestCancel();
        const std::int64_t match = (start + 9) / 10 * 10;
        if (match + 3 > text_size_) return Outcome::kNoMatch;
        spans[0] = {match, 3};
        return Outcome::kMatch;
    }
    const std::string& ErrorMessage() const override { return message_; }

  private:
    std::int64_t text_size_;
    std::atomic<int>& searches_;
    int cancel_at_;
    WorkProgress& progress_;
    std::string message_;
};

struct ProgressCase {
    const char* name;
    int parts;
    int threads;
    int cancel_at;  // 0: never
};

class WorkProgressTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(WorkProgressTest, CountsAndStopsWithABeginningOfTheResult) {
    const ProgressCase& c = GetParam();
    constexpr std::int64_t kTextSize = 10000;
    std::atomic<int> searches{0};
    WorkProgress progress;
    const CursorFactory new_cursor = [&] {
        return std::make_unique<FakeCursor>(kTextSize, searches, c.cancel_at, progress);
    };
    const SearchResults results = SearchInParts(
        kTextSize, 0, new_cursor, {.parts = c.parts, .threads = c.threads}, &progress);

    for (std::int64_t m = 0; m < results.size(); ++m) {
        ASSERT_EQ(results[m].Span(0).offset, m * 10) << "match " << m;
    }
    EXPECT_EQ(progress.Total(), kTextSize);
    EXPECT_LE(progress.Done(), kTextSize);
    EXPECT_GE(progress.Found(), results.size());
    if (c.cancel_at == 0) {
        EXPECT_EQ(results.size(), 1000);
        EXPECT_FALSE(results.Cancelled());
        EXPECT_EQ(progress.Done(), kTextSize);
    } else {
        EXPECT_TRUE(results.Cancelled());
        EXPECT_LT(results.size(), 1000);
        // Alone, the search that sees the request still keeps its match.
        if (c.threads == 1 && c.parts == 1) {
            EXPECT_EQ(results.size(), c.cancel_at);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkProgressTest,
                         testing::Values(ProgressCase{"Alone", 1, 1, 0},
                                         ProgressCase{"Split", 4, 2, 0},
                                         ProgressCase{"CancelledAlone", 1, 1, 300},
                                         ProgressCase{"CancelledSplitOneThread", 4, 1, 300},
                                         ProgressCase{"CancelledSplit", 4, 3, 300},
                                         ProgressCase{"CancelledAtOnce", 4, 2, 1}),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

// Reports the first of a few fixed matches (with one group) that begins at or after the start:
// a text of any size with no text behind it.
class ListedMatchesCursor : public SearchCursor {
  public:
    explicit ListedMatchesCursor(std::vector<std::vector<SubMatchSpan>> matches)
        : matches_(std::move(matches)) {}

    Outcome SearchFrom(std::int64_t start, std::int64_t /*limit*/,
                       std::span<SubMatchSpan> spans) override {
        for (const std::vector<SubMatchSpan>& match : matches_) {
            if (match[0].offset < start) continue;
            std::copy(match.begin(), match.end(), spans.begin());
            return Outcome::kMatch;
        }
        return Outcome::kNoMatch;
    }
    const std::string& ErrorMessage() const override { return message_; }

  private:
    std::vector<std::vector<SubMatchSpan>> matches_;
    std::string message_;
};

TEST(ParallelSearchTest, KeepsOffsetsAndLengthsAroundFourGiB) {
    constexpr std::int64_t kFourGiB = std::int64_t{1} << 32;
    const struct {
        std::int64_t text_size;
        std::vector<std::vector<SubMatchSpan>> matches;
    } cases[] = {
        // The longest text with narrow records: a match up to its end, and an empty one there.
        {kFourGiB - 2,
         {{{0, 1}, {}},
          {{kFourGiB - 5, 3}, {kFourGiB - 4, 2}},
          {{kFourGiB - 2, 0}, {kFourGiB - 2, 0}}}},
        // Longer texts, whose offsets and lengths do not fit 32 bits.
        {kFourGiB - 1, {{{5, kFourGiB - 6}, {}}, {{kFourGiB - 1, 0}, {7, kFourGiB - 8}}}},
        {3 * kFourGiB,
         {{{1, 2 * kFourGiB + 1}, {kFourGiB + 1, 1}},
          {{2 * kFourGiB + 5, 10}, {}},
          {{3 * kFourGiB - 1, 1}, {3 * kFourGiB, 0}}}},
    };
    for (const auto& c : cases) {
        std::string expected;
        for (const std::vector<SubMatchSpan>& match : c.matches) {
            for (std::size_t j = 0; j < match.size(); ++j) {
                expected += match[j].matched() ? std::to_string(match[j].offset) + "," +
                                                     std::to_string(match[j].length)
                                               : "-";
                expected += j + 1 < match.size() ? " " : "|";
            }
        }
        for (const int parts : {1, 3}) {
            const SearchResults results = SearchInParts(
                c.text_size, 1, [&] { return std::make_unique<ListedMatchesCursor>(c.matches); },
                {.parts = parts, .threads = 2}, nullptr);
            EXPECT_EQ(Describe(results), expected) << c.text_size << " in " << parts;
        }
    }
}

}  // namespace
}  // namespace lintaro
