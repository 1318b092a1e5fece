// lintaro-cli: runs a pattern over a file from the command line and prints the result table.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run_io.h"
#include "cli/cli_selection.h"
#include "export/export_text.h"
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

    const lintaro::CliOptions& options = *parsed.options;
    lintaro::CliSelection selection;
    if (options.output == lintaro::CliOutput::kExport) {
        selection = lintaro::SelectionForExport(options, *io.Table());
        if (!selection.error.empty()) {
            std::cerr << "lintaro-cli: " << selection.error << '\n';
            return kExitUsage;
        }
        if (selection.rect.IsEmpty()) {
            // Like the window, which refuses to export an empty selection: no output at all.
            std::cerr << "lintaro-cli: nothing to export: no match was found\n";
            return kExitSuccess;
        }
    }

    std::ofstream file;
    if (!options.output_path.empty()) {
        file.open(options.output_path, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::cerr << "lintaro-cli: cannot write " << options.output_path << ": "
                      << std::strerror(errno) << '\n';
            return kExitUnreadable;
        }
    }
    std::ostream& out = options.output_path.empty() ? std::cout : file;
    switch (options.output) {
        case lintaro::CliOutput::kTable:
            lintaro::WriteTableTsv(*io.Table(), out);
            break;
        case lintaro::CliOutput::kSpans:
            out << io.Spans();
            break;
        case lintaro::CliOutput::kCount:
            out << lintaro::ProgramTextToUtf8(io.CountLineText()) << '\n';
            break;
        case lintaro::CliOutput::kExport: {
            lintaro::ColumnRoles roles;
            roles.ChooseLinkColumn(0, options.link_column);
            roles.ChooseTextColumn(0, options.text_column);
            const std::string text =
                lintaro::BuildExportText(options.format, *io.Table(), selection.rect, roles);
            // Program text is UTF-8 already on an ordinary desktop: no converted copy then.
            if (lintaro::ProgramCharsetIsUtf8()) {
                out.write(text.data(), static_cast<std::streamsize>(text.size()));
            } else {
                out << lintaro::ProgramTextToUtf8(text);
            }
            break;
        }
    }
    out.flush();
    if (!out) {
        std::cerr << "lintaro-cli: cannot write the output\n";
        return kExitUnreadable;
    }
    return kExitSuccess;
}
