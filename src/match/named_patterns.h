// The named patterns both front ends offer beside a typed one: what each finds and its groups.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace lintaro {

struct NamedPattern {
    std::string name;         // what --preset takes: lower case, no spaces
    std::string description;  // one line: what it finds and what its groups hold
    std::string pattern;      // an ordinary pattern of the engine, in UTF-8
};

// Every named pattern, the preset pattern first (as "default").
std::span<const NamedPattern> NamedPatterns();

// The named pattern called name, nullptr when there is none.
const NamedPattern* FindNamedPattern(std::string_view name);

// The names in their order, parted by ", ", for messages that list them.
std::string NamedPatternNames();

}  // namespace lintaro
