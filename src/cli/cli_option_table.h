// The one table of lintaro-cli's options, which the parser, the help text and through it the
// manual page all read, and the texts made from it.
#pragma once

#include <span>
#include <string>

namespace lintaro {

enum class CliOptionId {
    kPattern,
    kPreset,
    kListPresets,
    kIgnoreCase,
    kCaseSensitive,
    kWithFilename,
    kSpans,
    kCount,
    kJson,
    kCsv,
    kNoHeader,
    kFormat,
    kRows,
    kColumns,
    kLinkColumn,
    kTextColumn,
    kEncoding,
    kDecodeEntities,
    kResolveLinks,
    kBase,
    kTrim,
    kUnique,
    kSort,
    kOutput,
    kRecursive,
    kDereferenceRecursive,
    kInclude,
    kExclude,
    kNoMessages,
    kThreads,
    kTimeout,
    kHelp,
    kVersion,
};

struct CliOptionSpec {
    CliOptionId id;
    const char* long_name;   // without the leading "--"
    char short_name;         // 0: the option has only its long form
    const char* value_name;  // what its value stands for in the help; nullptr: it takes none
    const char* help;        // one line
};

// Every option, in the order the help lists them.
std::span<const CliOptionSpec> CliOptionTable();

// What --help prints: usage, description, one line per option, formats and exit status, laid
// out the way help2man reads it.
std::string CliHelpText();

// What --list-presets prints: one line for each named pattern, name, description and pattern
// parted by tabs (none of them holds a tab or a line break).
std::string CliPresetListText();
// The --format values in the order of the window's format buttons: "a, b or c".
std::string CliFormatNames();

// What --version prints: "lintaro-cli X.Y.Z" and a newline.
std::string CliVersionText();

// The two lines after a usage error's message.
std::string CliUsageHint();

}  // namespace lintaro
