// The batch program's command line: what it may say and how it is read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lintaro {

// What lintaro-cli prints on standard output.
enum class CliOutput {
    kTable,  // the result table as tab-separated lines
    kSpans,  // one line per match: number, then offset,length of the match and each group
    kCount,  // only the count line
};

struct CliOptions {
    std::string pattern;  // program text; the window's preset pattern unless -e is given
    bool ignore_case = true;
    CliOutput output = CliOutput::kTable;
    std::string path;  // program text
};

// The options, or why the command line is not usable.
struct CliParseResult {
    std::optional<CliOptions> options;
    std::string error;
};

// Reads the arguments after the program's name.
CliParseResult ParseCliOptions(std::span<const std::string_view> arguments);

// The one-line synopsis shown with a usage error.
inline constexpr const char* kCliUsage =
    "usage: lintaro-cli [-e PATTERN | --pattern PATTERN] [-i | --ignore-case | --case-sensitive] "
    "[--spans | --count] FILE";

}  // namespace lintaro
