// Patterns that begin with a choice among plain literals, such as a list of words: a match can
// begin only where one of the literals does, and only the alternatives whose literal is there
// can take part in it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

class LiteralAlternatives {
  public:
    // The choice pattern begins with, read from its text: either the whole pattern is a choice
    // of literals, each with word-boundary or start and end anchors around it ("\bone\b|two"),
    // or it begins (after such anchors) with a group of literal alternatives that is not
    // quantified, and nothing after the group offers another choice ("\b(?:one|two)\s*=").
    // Nothing when it is neither, or holds a construct whose result depends on more than one
    // attempt at one place: "\G", verbs, options, conditions, recursion, "\Q...\E", comments.
    // fold_case: letters are compared as one whatever their case, by setting bit 0x20 in every
    // byte (the caller makes sure the engine folds no two bytes this does not).
    static std::optional<LiteralAlternatives> Read(std::string_view pattern, bool fold_case);

    std::size_t Count() const { return alternatives_.size(); }

    // The first place at or after from where one of the literals begins; text.size() when
    // there is none. A literal that runs past the end of text counts where the bytes up to the
    // end agree with it, so a text cut short never hides a place.
    std::int64_t Next(std::string_view text, std::int64_t from) const;

    // The alternatives whose literal begins at text[at] (as Next counts them), in pattern order.
    void AlternativesAt(std::string_view text, std::int64_t at,
                        std::vector<std::uint32_t>& alternatives) const;

    // The literals alone as a pattern ("one|two" for "\bone\b|^two"): a match of the whole
    // pattern begins with a match of it.
    std::string LiteralsPattern() const;

    // The pattern with its choice narrowed to alternatives (in pattern order). An attempt at a
    // place gives what the whole pattern gives there when they are the alternatives whose
    // literal begins at the place: the others fail at once and leave no trace.
    std::string PatternWith(std::span<const std::uint32_t> alternatives) const;

  private:
    struct Alternative {
        std::string text;          // as written in the pattern
        std::string literal_text;  // its literal as written, without the anchors around it
        std::string literal;       // the bytes a match of it begins with, folded
    };
    // The alternatives that share a prefix, as a range of by_prefix_.
    struct PrefixGroup {
        std::uint32_t prefix;
        std::uint32_t first;
        std::uint32_t end;
    };

    LiteralAlternatives(std::string before, std::vector<Alternative> alternatives,
                        std::string after, bool fold_case);
    std::uint32_t PrefixAt(const unsigned char* bytes, std::size_t available) const;
    bool LiteralAt(std::uint32_t alternative, const unsigned char* bytes,
                   std::size_t available) const;
    static std::uint32_t Hash(std::uint32_t prefix) { return prefix * 0x9E3779B1U; }
    // Whether prefix passes the filter: false for most that begin no literal, never for one
    // that does.
    bool MayBeAPrefix(std::uint32_t prefix) const;
    const PrefixGroup* GroupOf(std::uint32_t prefix) const;

    std::string before_;  // the pattern before the choice
    std::vector<Alternative> alternatives_;
    std::string after_;  // the pattern after it
    unsigned char fold_;

    // Places are first filtered by their first prefix_bytes_ bytes (as many as the shortest
    // literal has, at most 4), hashed into a set of bits, then looked up in the groups through
    // a hash table.
    std::size_t prefix_bytes_;
    std::uint32_t prefix_mask_;
    std::uint32_t prefix_fold_;
    int hash_shift_;
    std::vector<std::uint64_t> filter_;
    std::vector<PrefixGroup> groups_;
    std::vector<std::uint32_t> by_prefix_;
    int slot_shift_;
    std::vector<std::uint32_t> slots_;  // a group's index + 1, 0 for a free slot
};

}  // namespace lintaro
