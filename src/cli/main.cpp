// lintaro-cli: runs a pattern over a file from the command line and prints the result table.
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <new>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "base/program_text.h"
#include "base/system_error.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run_io.h"
#include "cli/cli_selection.h"
#include "cli/pending_file_buffer.h"
#include "export/export_text.h"
#include "export/export_file_writer.h"
#include "match/match_run.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;  // also a pattern that does not compile
constexpr int kExitOutOfMemory = 2;
constexpr int kExitTimedOut = 2;  // what was found is printed all the same

using lintaro::MatchReport;

const char* StageWords(MatchReport::Stage stage) {
    switch (stage) {
        case MatchReport::Stage::kRead:
            return "reading the file";
        case MatchReport::Stage::kDecode:
            return "decoding the text";
        case MatchReport::Stage::kSearch:
            return "searching";
        case MatchReport::Stage::kTable:
            return "building the table";
    }
    return "matching";
}

// Why the pattern was refused: a character the program's text cannot hold, or a byte that is
// not UTF-8 (shown in hex).
std::string UnheldPatternText(const std::string& character) {
    const auto byte = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && byte >= 0x80) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        return std::string("the pattern is not UTF-8: it holds the byte \\x") + kDigits[byte >> 4] +
               kDigits[byte & 0xF];
    }
    return "the pattern holds " + character + ", which the locale's character set " +
           lintaro::ProgramCharset() + " cannot hold";
}

// Says on standard error why the result is empty or short. Returns the exit status.
int ReportProblem(const MatchReport& report, const lintaro::CliOptions& options) {
    const std::string& path = options.path;
    const std::string at_byte = " at byte " + std::to_string(report.position);
    const std::string encoding = options.encoding.empty() ? "UTF-8" : options.encoding;
    switch (report.problem) {
        case MatchReport::Problem::kNone:
            return kExitSuccess;
        case MatchReport::Problem::kFileUnreadable:
            std::cerr << "lintaro-cli: cannot read " << path << ": "
                      << lintaro::SystemErrorText(report.error) << '\n';
            return kExitUnreadable;
        case MatchReport::Problem::kPatternInvalid:
            std::cerr << "lintaro-cli: the pattern does not compile: " << report.detail << '\n';
            return kExitUsage;
        case MatchReport::Problem::kPatternUnheld:
            std::cerr << "lintaro-cli: " << UnheldPatternText(report.detail) << '\n';
            return kExitUsage;
        case MatchReport::Problem::kTextCutMalformed:
            std::cerr << "lintaro-cli: warning: " << path << " is not valid " << encoding << at_byte
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
        case MatchReport::Problem::kOutOfMemory:
            std::cerr << "lintaro-cli: out of memory while " << StageWords(report.stage) << '\n';
            return kExitOutOfMemory;
    }
    return kExitSuccess;
}

// Says what went wrong beside the report's problem: characters the program's text cannot hold, a
// file that shrank while it was read, and
// an engine that gave up before the text's cut.
void ReportAlso(const MatchReport& report, const std::string& path) {
    if (report.replaced_characters > 0) {
        std::cerr << "lintaro-cli: warning: " << report.replaced_characters << " characters of "
                  << path << " cannot be held in the locale's character set "
                  << lintaro::ProgramCharset() << " and were replaced by \"?\"\n";
    }
    if (report.file_shrank) {
        std::cerr << "lintaro-cli: warning: " << path
                  << " was truncated while it was read; only the text that arrived was searched\n";
    }
    const bool cut = report.problem == MatchReport::Problem::kTextCutMalformed ||
                     report.problem == MatchReport::Problem::kTextCutNul;
    if (cut && report.engine_gave_up) {
        std::cerr << "lintaro-cli: warning: the regular-expression engine also gave up after "
                  << report.match_count << " matches, before the cut: " << report.engine_message
                  << '\n';
    }
}

// Asks the run to stop once --timeout has passed, unless it goes before.
class RunTimeout {
  public:
    RunTimeout(double seconds, lintaro::WorkProgress& progress) {
        if (seconds <= 0) return;
        timer_ = std::jthread([this, seconds, &progress](const std::stop_token& stop) {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, stop, std::chrono::duration<double>(seconds),
                           [] { return false; });
            if (!stop.stop_requested()) progress.RequestCancel();
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread timer_;  // last: stopped and joined first
};

int ReportWriteFailure(const std::string& path, int error) {
    std::cerr << "lintaro-cli: cannot write " << path << ": " << lintaro::SystemErrorText(error)
              << '\n';
    return kExitUnreadable;
}

// Writes what the options ask for of the run's result to out.
void WriteOutput(const lintaro::CliOptions& options, const lintaro::CliRunIo& io,
                 const lintaro::SelectionRect& selection, std::ostream& out) {
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
            // The file's text: what the window writes into the export file.
            out << lintaro::FormatInfo(options.format).file_start;
            const std::string text =
                lintaro::BuildExportText(options.format, *io.Table(), selection, roles);
            // Program text is UTF-8 already on an ordinary desktop: no converted copy then.
            if (lintaro::ProgramCharsetIsUtf8()) {
                out.write(text.data(), static_cast<std::streamsize>(text.size()));
            } else {
                out << lintaro::ProgramTextToUtf8(text);
            }
            break;
        }
    }
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
    MatchReport report;
    {
        const RunTimeout timeout(parsed.options->timeout_seconds, io.TimeoutProgress());
        report = lintaro::RunMatch(io);
    }
    const int status = ReportProblem(report, *parsed.options);
    ReportAlso(report, parsed.options->path);
    if (status != kExitSuccess) return status;
    if (report.cancelled) {
        std::cerr << "lintaro-cli: warning: the run was stopped after --timeout "
                  << parsed.options->timeout_seconds << " s; only the " << report.match_count
                  << " matches found until then are printed\n";
    }
    const int finished = report.cancelled ? kExitTimedOut : kExitSuccess;

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
            return finished;
        }
    }

    // An output file is written beside its final name and renamed into place once complete,
    // so a failure leaves the old file as it was and no partial one.
    const std::string& output_path = options.output_path;
    const bool to_file = !output_path.empty();
    lintaro::PendingFile file(lintaro::SystemFiles(),
                              output_path.substr(0, output_path.rfind('/') + 1));
    if (to_file) {
        if (const int error = file.Create(); error != 0) return ReportWriteFailure(output_path, error);
    }
    try {
        lintaro::PendingFileBuffer file_buffer(file);
        std::ostream file_stream(&file_buffer);
        std::ostream& out = to_file ? file_stream : std::cout;
        WriteOutput(options, io, selection.rect, out);
        out.flush();
        if (!to_file && !out) {
            std::cerr << "lintaro-cli: cannot write the output\n";
            return kExitUnreadable;
        }
    } catch (const std::bad_alloc&) {
        // The pending file goes away unplaced: an old file of that name stays as it was.
        std::cerr << "lintaro-cli: out of memory while writing the output\n";
        return kExitOutOfMemory;
    }
    if (to_file) {
        if (const int error = file.PlaceReplacing(output_path); error != 0) {
            return ReportWriteFailure(output_path, error);
        }
    }
    return finished;
}
