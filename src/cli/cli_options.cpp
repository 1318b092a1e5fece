// The batch program's command line: what it may say and how it is read.
#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "base/charset.h"
#include "match/match_run.h"

namespace lintaro {

namespace {

CliParseResult Fail(std::string error) {
    return {std::nullopt, std::move(error)};
}

// The format names of --format, in the order of the window's format buttons.
constexpr std::pair<std::string_view, ExportFormat> kFormatNames[] = {
    {"styled-links", ExportFormat::StyledLinkPage},
    {"links", ExportFormat::LinkList},
    {"text", ExportFormat::PlainText},
    {"table", ExportFormat::HtmlTable},
    {"styled-table", ExportFormat::StyledTablePage},
};

// About 30 years: longer would overflow the clock's duration.
constexpr double kLongestTimeoutSeconds = 1e9;

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

}  // namespace

CliParseResult ParseCliOptions(std::span<const std::string_view> arguments) {
    CliOptions options;
    options.pattern = kPresetPattern;
    std::optional<CliOutput> output;
    std::vector<std::string_view> files;
    bool options_ended = false;
    bool selection_given = false;
    auto choose_output = [&output](CliOutput chosen) {
        const bool conflict = output && *output != chosen;
        output = chosen;
        return !conflict;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool takes_value = argument == "--format" || argument == "--rows" ||
                                 argument == "--columns" || argument == "--link-column" ||
                                 argument == "--text-column" || argument == "--output" ||
                                 argument == "--threads" || argument == "--encoding" ||
                                 argument == "--timeout";
        if (!options_ended && takes_value && i + 1 == arguments.size()) {
            return Fail(std::string(argument) + " needs a value");
        }
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            files.push_back(argument);
        } else if (argument == "--") {
            options_ended = true;
        } else if (argument == "-e" || argument == "--pattern") {
            if (i + 1 == arguments.size()) return Fail(std::string(argument) + " needs a pattern");
            options.pattern = arguments[++i];
        } else if (argument.starts_with("--pattern=")) {
            options.pattern = argument.substr(std::string_view("--pattern=").size());
        } else if (argument.starts_with("-e")) {
            options.pattern = argument.substr(2);
        } else if (argument == "-i" || argument == "--ignore-case") {
            options.ignore_case = true;
        } else if (argument == "--case-sensitive") {
            options.ignore_case = false;
        } else if (argument == "--spans" || argument == "--count") {
            if (!choose_output(argument == "--spans" ? CliOutput::kSpans : CliOutput::kCount)) {
                return Fail("--spans, --count and --format exclude each other");
            }
        } else if (argument == "--format") {
            const std::string_view name = arguments[++i];
            const auto* known =
                std::find_if(std::begin(kFormatNames), std::end(kFormatNames),
                             [name](const auto& entry) { return entry.first == name; });
            if (known == std::end(kFormatNames)) return Fail("unknown format " + std::string(name));
            options.format = known->second;
            if (!choose_output(CliOutput::kExport)) {
                return Fail("--spans, --count and --format exclude each other");
            }
        } else if (argument == "--rows" || argument == "--columns") {
            const std::optional<IndexRange> range = ParseRange(arguments[++i]);
            if (!range || range->first == 0) {
                return Fail(std::string(argument) +
                            " takes FIRST-LAST counted from 1, FIRST <= LAST");
            }
            (argument == "--rows" ? options.rows : options.columns) = range;
            selection_given = true;
        } else if (argument == "--link-column" || argument == "--text-column") {
            const std::optional<int> column = ParseIndex(arguments[++i]);
            if (!column) return Fail(std::string(argument) + " takes a column number from 0");
            (argument == "--link-column" ? options.link_column : options.text_column) = *column;
            selection_given = true;
        } else if (argument == "--threads") {
            const std::optional<int> threads = ParseIndex(arguments[++i]);
            if (!threads || *threads == 0) return Fail("--threads takes a number from 1");
            options.threads = *threads;
        } else if (argument == "--encoding" || argument.starts_with("--encoding=")) {
            options.encoding = argument == "--encoding"
                                   ? arguments[++i]
                                   : argument.substr(std::string_view("--encoding=").size());
            if (!IsKnownCharset(options.encoding)) {
                return Fail("unknown encoding " + options.encoding);
            }
        } else if (argument == "--timeout") {
            const std::string_view value = arguments[++i];
            double seconds = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error != std::errc{} || end != value.data() + value.size() || !(seconds > 0) ||
                seconds > kLongestTimeoutSeconds) {
                return Fail("--timeout takes a number of seconds above 0");
            }
            options.timeout_seconds = seconds;
        } else if (argument == "--output") {
            options.output_path = arguments[++i];
            if (options.output_path.empty()) return Fail("--output needs a file name");
        } else {
            return Fail("unknown option " + std::string(argument));
        }
    }
    if (files.empty()) return Fail("no FILE given");
    if (files.size() > 1) return Fail("only one FILE may be given");
    options.path = files.front();
    options.output = output.value_or(CliOutput::kTable);
    if (selection_given && options.output != CliOutput::kExport) {
        return Fail("--rows, --columns, --link-column and --text-column need --format");
    }
    return {std::move(options), {}};
}

}  // namespace lintaro
