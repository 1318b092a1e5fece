// lintaro-cli: runs a pattern over files from the command line and prints the result tables.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <iostream>
#include <mutex>
#include <new>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/file_system.h"
#include "base/program_text.h"
#include "cli/cli_option_table.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run_io.h"
#include "cli/cli_selection.h"
#include "cli/joined_table.h"
#include "cli/output_destination.h"
#include "cli/standard_input_files.h"
#include "export/export_sink.h"
#include "export/export_text.h"
#include "match/match_run.h"
#include "table/result_table_builder.h"

namespace {

// As grep's: a match was found, none was, or something went wrong (also when some file
// matched).
constexpr int kExitMatch = 0;
constexpr int kExitNoMatch = 1;
constexpr int kExitError = 2;

using lintaro::MatchReport;

const char* StageWords(lintaro::MatchStage stage) {
    switch (stage) {
        case lintaro::MatchStage::kRead:
            return "reading the file";
        case lintaro::MatchStage::kDecode:
            return "decoding the text";
        case lintaro::MatchStage::kSearch:
            return "searching";
        case lintaro::MatchStage::kTable:
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

// How messages name a file: its path, or "standard input" for "-".
std::string MessageName(const std::string& path) {
    return path == lintaro::kStandardInputName ? "standard input" : path;
}

// Says on standard error why the result is empty or short. True when the file's result is
// lost (an error), false when there is none or only a warning.
bool ReportProblem(const MatchReport& report, const std::string& path,
                   const lintaro::CliOptions& options) {
    const std::string at_byte = " at byte " + std::to_string(report.position);
    const std::string encoding = options.encoding.empty() ? "UTF-8" : options.encoding;
    switch (report.problem) {
        case MatchReport::Problem::kNone:
            return false;
        case MatchReport::Problem::kFileUnreadable:
            std::cerr << "lintaro-cli: cannot read " << path << ": "
                      << lintaro::ErrorText(report.error) << '\n';
            return true;
        case MatchReport::Problem::kPatternInvalid:
            std::cerr << "lintaro-cli: the pattern does not compile: " << report.detail << '\n';
            return true;
        case MatchReport::Problem::kPatternUnheld:
            std::cerr << "lintaro-cli: " << UnheldPatternText(report.detail) << '\n';
            return true;
        case MatchReport::Problem::kTextCutMalformed:
            std::cerr << "lintaro-cli: warning: " << path << " is not valid " << encoding << at_byte
                      << "; only the text before it was searched\n";
            return false;
        case MatchReport::Problem::kTextCutNul:
            std::cerr << "lintaro-cli: warning: " << path << " holds a NUL byte" << at_byte
                      << "; only the text before it was searched\n";
            return false;
        case MatchReport::Problem::kEngineGaveUp:
            std::cerr << "lintaro-cli: warning: the regular-expression engine gave up after "
                      << report.match_count << " matches: " << report.detail << '\n';
            return false;
        case MatchReport::Problem::kOutOfMemory:
            std::cerr << "lintaro-cli: out of memory while " << StageWords(report.stage) << '\n';
            return true;
    }
    return false;
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

int ReportWriteFailure(const lintaro::OutputDestination& destination) {
    std::cerr << "lintaro-cli: cannot write " << destination.Name() << ": "
              << lintaro::ErrorText(destination.Error()) << '\n';
    return kExitError;
}

int ReportUsageError(const std::string& error) {
    std::cerr << "lintaro-cli: " << error << '\n' << lintaro::CliUsageHint();
    return kExitError;
}

// Prints the answer to --help or --version on standard output.
int PrintAnswer(const std::string& text) {
    lintaro::OutputDestination destination(lintaro::SystemFiles(), "");
    *destination.Stream() << text;
    if (destination.Finish()) return ReportWriteFailure(destination);
    return kExitMatch;
}

// Writes one file's result as the options ask: its table rows (the header only once, before
// the first file's rows), its spans or its count line.
void WriteFileResult(const lintaro::CliOptions& options, const lintaro::CliRunIo& io,
                     bool with_header, std::ostream& out) {
    switch (options.output) {
        case lintaro::CliOutput::kTable:
            lintaro::WriteMatchesTsv(lintaro::ResultHeadings(io.Results()->GroupCount()),
                                     *io.Results(), io.Text()->View(), out, with_header,
                                     io.LineStartText());
            break;
        case lintaro::CliOutput::kSpans:
            out << io.Spans();
            break;
        case lintaro::CliOutput::kCount:
            out << io.LineStartText() << lintaro::ProgramTextToUtf8(io.CountLineText()) << '\n';
            break;
        case lintaro::CliOutput::kExport:
            break;
    }
}

// Writes the export text of selection in the options' format: what the window writes into
// its export file. The text goes out a block at a time as it is made, never whole.
void WriteExport(const lintaro::CliOptions& options, const lintaro::ResultTable& table,
                 const lintaro::SelectionRect& selection, std::ostream& out) {
    lintaro::ColumnRoles roles;
    roles.ChooseLinkColumn(0, options.link_column);
    roles.ChooseTextColumn(0, options.text_column);
    out << lintaro::FormatInfo(options.format).file_start;
    // A failed write stops the export early; the destination keeps its reason for the message.
    lintaro::ExportSink sink([&out](std::string_view bytes) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return out.good() ? std::error_code() : lintaro::SystemError(EIO);
    });
    lintaro::WriteExportText(options.format, table, selection, roles, sink);
}

// Runs the pattern over every file in turn, writing each one's result as it is done (or, for
// --format, joining their rows into one table exported at the end). A file that cannot be
// read is reported and the others still run; a pattern that does not compile ends the run.
// A search stopped by --timeout keeps what it found and makes the status 2.
int RunFiles(const lintaro::CliOptions& options) {
    lintaro::StandardInputFiles files;
    lintaro::OutputDestination destination(lintaro::SystemFiles(), options.output_path);
    bool failed = false;
    bool matched = false;
    bool header_written = false;
    std::optional<lintaro::ResultTable> joined;
    for (const std::string& path : options.paths) {
        lintaro::CliRunIo io(options, path, files);
        MatchReport report;
        {
            const RunTimeout timeout(options.timeout_seconds, io.TimeoutProgress());
            report = lintaro::RunMatch(io.Request(), io, io.Progress());
        }
        const bool lost = ReportProblem(report, MessageName(path), options);
        ReportAlso(report, MessageName(path));
        if (report.cancelled) {
            // What was found until then is printed all the same; the status says it is short.
            std::cerr << "lintaro-cli: warning: the run was stopped after --timeout "
                      << options.timeout_seconds << " s; only the " << report.match_count
                      << " matches found until then are printed\n";
            failed = true;
        }
        // The same pattern would fail on every file.
        if (report.problem == MatchReport::Problem::kPatternInvalid ||
            report.problem == MatchReport::Problem::kPatternUnheld) {
            return kExitError;
        }
        failed = failed || lost;
        if (lost) continue;
        matched = matched || report.match_count > 0;
        try {
            if (options.output == lintaro::CliOutput::kExport) {
                if (joined) {
                    lintaro::AppendDataRows(*io.Table(), *joined);
                } else {
                    joined = std::move(io.Table());
                }
                continue;
            }
            std::ostream* out = destination.Stream();
            if (out == nullptr) return ReportWriteFailure(destination);
            WriteFileResult(options, io, !header_written, *out);
            // Each file's lines go out before the next file's warnings.
            out->flush();
        } catch (const std::bad_alloc&) {
            // The output file goes away unplaced: an old file of that name stays as it was.
            std::cerr << "lintaro-cli: out of memory while "
                      << (options.output == lintaro::CliOutput::kExport ? "joining the tables"
                                                                        : "writing the output")
                      << '\n';
            return kExitError;
        }
        header_written = true;
        if (destination.Error()) return ReportWriteFailure(destination);
    }

    if (joined) {
        const lintaro::CliSelection selection = lintaro::SelectionForExport(options, *joined);
        if (!selection.error.empty()) {
            std::cerr << "lintaro-cli: " << selection.error << '\n';
            return kExitError;
        }
        if (selection.rect.IsEmpty()) {
            // Like the window, which refuses to export an empty selection: no output at all.
            std::cerr << "lintaro-cli: nothing to export: no match was found\n";
            return failed ? kExitError : kExitNoMatch;
        }
        std::ostream* out = destination.Stream();
        if (out == nullptr) return ReportWriteFailure(destination);
        try {
            WriteExport(options, *joined, selection.rect, *out);
        } catch (const std::bad_alloc&) {
            std::cerr << "lintaro-cli: out of memory while writing the output\n";
            return kExitError;
        }
    }
    if (destination.Finish()) return ReportWriteFailure(destination);
    if (failed) return kExitError;
    return matched ? kExitMatch : kExitNoMatch;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    lintaro::CliParseResult parsed = lintaro::ParseCliOptions(arguments);
    if (!parsed.options) return ReportUsageError(parsed.error);
    lintaro::CliOptions& options = *parsed.options;
    switch (options.action) {
        case lintaro::CliAction::kHelp:
            return PrintAnswer(lintaro::CliHelpText());
        case lintaro::CliAction::kVersion:
            return PrintAnswer(lintaro::CliVersionText());
        case lintaro::CliAction::kRun:
            break;
    }
    // Like grep: no FILE reads standard input, unless that is a terminal nobody types into.
    if (options.paths.empty()) {
        if (::isatty(STDIN_FILENO) == 1) {
            return ReportUsageError("no FILE given, and standard input is a terminal");
        }
        options.paths.emplace_back(lintaro::kStandardInputName);
    }
    return RunFiles(options);
}
