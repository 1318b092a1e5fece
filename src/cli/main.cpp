// lintaro-cli: runs a pattern over a file from the command line and prints the result table.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run_io.h"
#include "match/match_run.h"
#include "match/program_text.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;  // also a pattern that does not compile

using lintaro::MatchReport;

// Says on standard error why the result is empty or short. Returns the exit status.
int ReportProblem(const MatchReport& report, const std::string& path) {
    const std::string at_byte = " at byte " + std::to_string(report.position);
    switch (report.problem) {
        case MatchReport::Problem::kNone:
            return kExitSuccess;
        case MatchReport::Problem::kFileUnreadable:
            std::cerr << "lintaro-cli: cannot read " << path << ": " << report.detail << '\n';
            return kExitUnreadable;
        case MatchReport::Problem::kPatternInvalid:
            std::cerr << "lintaro-cli: the pattern does not compile: " << report.detail << '\n';
            return kExitUsage;
        case MatchReport::Problem::kTextCutMalformed:
            std::cerr << "lintaro-cli: warning: " << path << " is not valid UTF-8" << at_byte
                      << "; only the text before it was searched\n";
            return kExitSuccess;
        case MatchReport::Problem::kTextCutNul:
            std::cerr << "lintaro-cli: warning: " << path << " holds a NUL byte" << at_byte
                      << "; only the text before it was searched\n";
            return kExitSuccess;
        case MatchReport::Problem::kEngineGaveUp:
            std::cerr << "lintaro-cli: warning: the regular-expression engine gave up after "
                      << report.match_count << " matches: " << report.detail << '\n';
            return kExitSuccess;
    }
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const lintaro::CliParseResult parsed = lintaro::ParseCliOptions(arguments);
    if (!parsed.options) {
        std::cerr << "lintaro-cli: " << parsed.error << '\n' << lintaro::kCliUsage << '\n';
        return kExitUsage;
    }

    lintaro::CliRunIo io(*parsed.options);
    const MatchReport report = lintaro::RunMatch(io);
    const int status = ReportProblem(report, parsed.options->path);
    if (status != kExitSuccess) return status;

    switch (parsed.options->output) {
        case lintaro::CliOutput::kTable:
            lintaro::WriteTableTsv(*io.Table(), std::cout);
            break;
        case lintaro::CliOutput::kSpans:
            std::cout << io.Spans();
            break;
        case lintaro::CliOutput::kCount:
            std::cout << lintaro::ProgramTextToUtf8(io.CountLineText()) << '\n';
            break;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "lintaro-cli: cannot write the output\n";
        return kExitUnreadable;
    }
    return kExitSuccess;
}
