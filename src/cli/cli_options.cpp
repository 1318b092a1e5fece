// The batch program's command line: what it may say and how it is read.
#include "cli/cli_options.h"

#include <vector>

#include "match/match_run.h"

namespace lintaro {

namespace {

CliParseResult Fail(std::string error) {
    return {std::nullopt, std::move(error)};
}

}  // namespace

CliParseResult ParseCliOptions(std::span<const std::string_view> arguments) {
    CliOptions options;
    options.pattern = kPresetPattern;
    std::optional<CliOutput> output;
    std::vector<std::string_view> files;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
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
            const CliOutput chosen = argument == "--spans" ? CliOutput::kSpans : CliOutput::kCount;
            if (output && *output != chosen) return Fail("--spans and --count exclude each other");
            output = chosen;
        } else {
            return Fail("unknown option " + std::string(argument));
        }
    }
    if (files.empty()) return Fail("no FILE given");
    if (files.size() > 1) return Fail("only one FILE may be given");
    options.path = files.front();
    options.output = output.value_or(CliOutput::kTable);
    return {std::move(options), {}};
}

}  // namespace lintaro
