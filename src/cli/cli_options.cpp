// The batch program's command line: what it may say and how it is read.
#include "cli/cli_options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "base/charset.h"
#include "cli/cli_option_table.h"
#include "cli/file_charset.h"
#include "match/match_run.h"
#include "match/named_patterns.h"

namespace lintaro {

namespace {

CliParseResult Fail(std::string error) {
    return {std::nullopt, std::move(error)};
}

// About 30 years: longer would overflow the clock's duration.
constexpr std::int64_t kLongestTimeoutSeconds = 1'000'000'000;

std::optional<int> ParseIndex(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// "R1-R2" with R1 <= R2, or a single index "R".
std::optional<IndexRange> ParseRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    const std::optional<int> first = ParseIndex(text.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : ParseIndex(text.substr(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return IndexRange{*first, *last};
}

// "COL" or "COL,COL,...", each a column number from 1.
std::optional<std::vector<int>> ParseColumnList(std::string_view text) {
    std::vector<int> columns;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::optional<int> column = ParseIndex(text.substr(start, comma - start));
        if (!column || *column == 0) return std::nullopt;
        columns.push_back(*column);
        start = comma + 1;
    }
    return columns;
}

// What getopt_long gives for an option: its letter, or for an option with only a long name a
// number past every letter.
constexpr int kLongOnlyBase = 256;

int GetoptValue(const CliOptionSpec& option, std::size_t index) {
    return option.short_name != 0 ? option.short_name : kLongOnlyBase + static_cast<int>(index);
}

const CliOptionSpec* FindByValue(int value) {
    const std::span<const CliOptionSpec> table = CliOptionTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (GetoptValue(table[i], i) == value) return &table[i];
    }
    return nullptr;
}

std::string LongName(const CliOptionSpec& option) {
    return std::string("--") + option.long_name;
}

// The option in the form the user wrote it, for messages: "-e" or "--pattern".
std::string WrittenName(const CliOptionSpec& option, std::string_view argument) {
    if (option.short_name != 0 && !argument.starts_with("--")) {
        return std::string("-") + option.short_name;
    }
    return LongName(option);
}

// Why getopt_long refused the argument: a letter or a name it does not know, a shortened
// name that fits several options, or a value given to an option that takes none.
std::string RefusedOption(int letter_or_value, std::string_view argument) {
    if (const CliOptionSpec* known = FindByValue(letter_or_value)) {
        return LongName(*known) + " takes no value";
    }
    if (letter_or_value != 0) return std::string("unknown option -") + char(letter_or_value);
    const std::string_view name = argument.substr(0, argument.find('='));
    std::string fitting;
    int fits = 0;
    for (const CliOptionSpec& option : CliOptionTable()) {
        if (!LongName(option).starts_with(name)) continue;
        fitting += (fits++ > 0 ? ", " : "") + LongName(option);
    }
    if (fits > 1) return "ambiguous option " + std::string(name) + " (" + fitting + ")";
    return "unknown option " + std::string(name);
}

constexpr const char* kOutputsConflict =
    "--spans, --count, --json, --csv and --format exclude each other";

// The option with its value as the user wrote it: "-e x" or "--pattern=x".
std::string WrittenWithValue(const std::string& name, std::string_view value) {
    return name + (name.starts_with("--") ? "=" : " ") + std::string(value);
}

}  // namespace

std::string SecondPatternError(const std::string& first, const std::string& second) {
    return "only one pattern may be given, not both " + first + " and " + second;
}

CliParseResult ParseCliOptions(std::span<const std::string_view> arguments) {
    // getopt_long reorders the vector it reads, which therefore holds copies, after a name.
    std::vector<std::string> words = {"lintaro-cli"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    // A leading ':' makes a missing value come back as ':' instead of '?'.
    std::string letters = ":";
    const std::span<const CliOptionSpec> table = CliOptionTable();
    std::vector<option> long_options;
    long_options.reserve(table.size() + 1);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const bool takes_value = table[i].value_name != nullptr;
        long_options.push_back({table[i].long_name, takes_value ? required_argument : no_argument,
                                nullptr, GetoptValue(table[i], i)});
        if (table[i].short_name == 0) continue;
        letters += table[i].short_name;
        if (takes_value) letters += ':';
    }
    long_options.push_back({});

    CliOptions options;
    options.pattern = kPresetPattern;
    std::optional<CliOutput> output;
    bool with_filename_given = false;
    auto choose_output = [&output](CliOutput chosen) {
        const bool conflict = output && *output != chosen;
        output = chosen;
        return !conflict;
    };
    // Our own messages instead of getopt's, and optind 0 to start afresh after an earlier parse.
    opterr = 0;
    optind = 0;
    int got = 0;
    while ((got = getopt_long(argc, argv.data(), letters.c_str(), long_options.data(), nullptr)) !=
           -1) {
        // The argument the option came in; the one before its value when that stood apart.
        const bool value_apart = optarg != nullptr && optind >= 2 && optarg == argv[optind - 1];
        const char* const option_word = argv[optind - (value_apart ? 2 : 1)];
        const std::string_view argument = option_word != nullptr ? option_word : "";
        if (got == '?') return Fail(RefusedOption(optopt, argument));
        if (got == ':') {
            return Fail(WrittenName(*FindByValue(optopt), argument) + " needs a value");
        }
        const CliOptionSpec& spec = *FindByValue(got);
        const std::string name = WrittenName(spec, argument);
        const std::string_view value = optarg != nullptr ? optarg : "";
        switch (spec.id) {
            case CliOptionId::kPattern: {
                const std::string written = WrittenWithValue(name, value);
                if (!options.pattern_option.empty()) {
                    return Fail(SecondPatternError(options.pattern_option, written));
                }
                options.pattern = value;
                options.pattern_option = written;
                break;
            }
            case CliOptionId::kPreset: {
                const std::string written = WrittenWithValue(name, value);
                if (!options.pattern_option.empty()) {
                    return Fail(SecondPatternError(options.pattern_option, written));
                }
                const NamedPattern* named = FindNamedPattern(value);
                if (named == nullptr) {
                    return Fail("unknown preset " + std::string(value) + " (the presets are " +
                                NamedPatternNames() + ")");
                }
                options.pattern = named->pattern;
                options.pattern_option = written;
                break;
            }
            case CliOptionId::kListPresets:
                if (options.action == CliAction::kRun) options.action = CliAction::kListPresets;
                break;
            case CliOptionId::kIgnoreCase:
            case CliOptionId::kCaseSensitive:
                options.ignore_case = spec.id == CliOptionId::kIgnoreCase;
                break;
            case CliOptionId::kWithFilename:
                options.with_filename = true;
                with_filename_given = true;
                break;
            case CliOptionId::kSpans:
            case CliOptionId::kCount:
            case CliOptionId::kJson:
            case CliOptionId::kCsv: {
                const CliOutput chosen = spec.id == CliOptionId::kSpans   ? CliOutput::kSpans
                                         : spec.id == CliOptionId::kCount ? CliOutput::kCount
                                         : spec.id == CliOptionId::kJson  ? CliOutput::kJson
                                                                          : CliOutput::kCsv;
                if (!choose_output(chosen)) return Fail(kOutputsConflict);
                break;
            }
            case CliOptionId::kNoHeader:
                options.header = false;
                break;
            case CliOptionId::kFormat: {
                const auto* known =
                    std::ranges::find(kExportFormats, value, &ExportFormatInfo::cli_name);
                if (known == std::end(kExportFormats)) {
                    return Fail("unknown format " + std::string(value) + "; the formats are " +
                                CliFormatNames());
                }
                options.format = known->format;
                if (!choose_output(CliOutput::kExport)) return Fail(kOutputsConflict);
                break;
            }
            case CliOptionId::kRows:
            case CliOptionId::kColumns: {
                const std::optional<IndexRange> range = ParseRange(value);
                if (!range || range->first == 0) {
                    return Fail(name + " takes FIRST-LAST counted from 1, FIRST <= LAST");
                }
                (spec.id == CliOptionId::kRows ? options.rows : options.columns) = range;
                break;
            }
            case CliOptionId::kLinkColumn:
            case CliOptionId::kTextColumn: {
                const std::optional<int> column = ParseIndex(value);
                if (!column) return Fail(name + " takes a column number from 0");
                (spec.id == CliOptionId::kLinkColumn ? options.link_column : options.text_column) =
                    *column;
                (spec.id == CliOptionId::kLinkColumn ? options.link_column_given
                                                     : options.text_column_given) = true;
                break;
            }
            case CliOptionId::kEncoding:
                options.encoding = value;
                if (value != kAutoEncoding && !IsKnownCharset(options.encoding)) {
                    return Fail("unknown encoding " + options.encoding);
                }
                break;
            case CliOptionId::kDecodeEntities:
            case CliOptionId::kResolveLinks:
            case CliOptionId::kTrim:
            case CliOptionId::kUnique:
            case CliOptionId::kSort: {
                std::optional<std::vector<int>> columns = ParseColumnList(value);
                if (!columns) return Fail(name + " takes a column number from 1, or a comma list");
                TableOperationColumns& operations = options.operations;
                std::vector<int>& chosen =
                    spec.id == CliOptionId::kDecodeEntities ? operations.decode_entities
                    : spec.id == CliOptionId::kResolveLinks ? operations.resolve_links
                    : spec.id == CliOptionId::kTrim         ? operations.trim
                    : spec.id == CliOptionId::kUnique       ? operations.unique
                                                            : operations.sort;
                chosen.insert(chosen.end(), columns->begin(), columns->end());
                break;
            }
            case CliOptionId::kBase:
                if (value.empty()) return Fail("--base needs a URL");
                options.operations.base = value;
                break;
            case CliOptionId::kOutput:
                if (value.empty()) return Fail("--output needs a file name");
                options.output_path = value == "-" ? "" : value;
                break;
            case CliOptionId::kRecursive:
            case CliOptionId::kDereferenceRecursive:
                options.recursive = true;
                options.follow_links = spec.id == CliOptionId::kDereferenceRecursive;
                break;
            case CliOptionId::kInclude:
            case CliOptionId::kExclude:
                (spec.id == CliOptionId::kInclude ? options.include_globs : options.exclude_globs)
                    .emplace_back(value);
                break;
            case CliOptionId::kNoMessages:
                options.quiet_warnings = true;
                break;
            case CliOptionId::kThreads: {
                const std::optional<int> threads = ParseIndex(value);
                if (!threads || *threads == 0) return Fail("--threads takes a number from 1");
                options.threads = *threads;
                break;
            }
            case CliOptionId::kTimeout: {
                double seconds = 0;
                const auto [end, error] =
                    std::from_chars(value.data(), value.data() + value.size(), seconds);
                if (error != std::errc{} || end != value.data() + value.size() || !(seconds > 0)) {
                    return Fail("--timeout takes a number of seconds above 0");
                }
                if (seconds > static_cast<double>(kLongestTimeoutSeconds)) {
                    return Fail("--timeout takes at most " +
                                std::to_string(kLongestTimeoutSeconds) + " seconds");
                }
                options.timeout_seconds = seconds;
                break;
            }
            case CliOptionId::kHelp:
                options.action = CliAction::kHelp;
                break;
            case CliOptionId::kVersion:
                if (options.action != CliAction::kHelp) options.action = CliAction::kVersion;
                break;
        }
    }
    if (options.action != CliAction::kRun) return {std::move(options), {}};
    // What getopt_long left after the options are the files, in their order.
    options.paths.assign(argv.begin() + optind, argv.end() - 1);
    options.with_filename = options.with_filename || options.paths.size() > 1;
    options.output = output.value_or(CliOutput::kTable);
    if (!options.operations.base.empty() && options.operations.resolve_links.empty()) {
        return Fail("--base needs --resolve-links");
    }
    // The spans and the number of matches are the search's, not the table's.
    if (options.operations.Any() &&
        (options.output == CliOutput::kSpans || options.output == CliOutput::kCount)) {
        return Fail("the table operations do not go with --spans or --count");
    }
    const bool exporting = options.output == CliOutput::kExport;
    if ((options.rows || options.link_column_given || options.text_column_given) && !exporting) {
        return Fail("--rows, --link-column and --text-column need --format");
    }
    if (options.columns &&
        (options.output == CliOutput::kSpans || options.output == CliOutput::kCount)) {
        return Fail("--columns needs the table, --csv, --json or --format");
    }
    if (!options.header && options.output != CliOutput::kTable &&
        options.output != CliOutput::kCsv) {
        return Fail("--no-header needs the table or --csv");
    }
    // An export is the window's text, whose formats have no place for a file's path.
    if (with_filename_given && exporting) {
        return Fail("-H and --format exclude each other: an export has no column for the file");
    }
    return {std::move(options), {}};
}

}  // namespace lintaro
