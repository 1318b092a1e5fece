// lintaro-cli: runs a pattern over files from the command line and prints the result tables.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/file_system.h"
#include "base/processors.h"
#include "base/program_text.h"
#include "base/stoppable_wait.h"
#include "cli/cli_messages.h"
#include "cli/cli_option_table.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_run_io.h"
#include "cli/cli_selection.h"
#include "cli/cli_table_operations.h"
#include "cli/file_charset.h"
#include "cli/folder_walk.h"
#include "cli/joined_table.h"
#include "cli/ordered_file_runs.h"
#include "cli/output_among_inputs.h"
#include "cli/output_destination.h"
#include "cli/standard_input_files.h"
#include "export/export_sink.h"
#include "export/export_text.h"
#include "match/match_run.h"
#include "match/parallel_search.h"
#include "table/result_table_builder.h"

namespace {

// As grep's: a match was found, none was, or something went wrong (also when some file
// matched).
constexpr int kExitMatch = 0;
constexpr int kExitNoMatch = 1;
constexpr int kExitError = 2;

using lintaro::MatchReport;

// Says line on standard error, as the program.
void Say(const std::string& line) {
    std::cerr << "lintaro-cli: " << line << '\n';
}

// Asks the run to stop once --timeout has passed, unless it goes before.
class RunTimeout {
  public:
    RunTimeout(double seconds, lintaro::WorkProgress& progress) {
        if (seconds <= 0) return;
        timer_ = std::jthread([seconds, &progress](const std::stop_token& stop) {
            if (lintaro::WaitUnlessStopped(stop, std::chrono::duration<double>(seconds))) {
                progress.RequestCancel();
            }
        });
    }

  private:
    std::jthread timer_;
};

int ReportWriteFailure(const lintaro::OutputDestination& destination) {
    Say(lintaro::WriteFailureLine(destination.Name(), destination.Error()));
    return kExitError;
}

int ReportUsageError(const std::string& error) {
    Say(error);
    std::cerr << lintaro::CliUsageHint();
    return kExitError;
}

// Prints the answer to --help or --version on standard output.
int PrintAnswer(const std::string& text) {
    lintaro::OutputDestination destination(lintaro::SystemFiles(), "");
    *destination.Stream() << text;
    if (destination.Finish()) return ReportWriteFailure(destination);
    return kExitMatch;
}

// The row format of the outputs written a row per match.
lintaro::RowFormat RowFormatOf(lintaro::CliOutput output) {
    switch (output) {
        case lintaro::CliOutput::kJson:
            return lintaro::RowFormat::kJson;
        case lintaro::CliOutput::kCsv:
            return lintaro::RowFormat::kCsv;
        default:
            return lintaro::RowFormat::kTsv;
    }
}

// How the rows of the file at path are written: the header only before the first file's.
lintaro::MatchRowsLayout RowsLayout(const lintaro::CliOptions& options, const std::string& path,
                                    bool with_header) {
    lintaro::MatchRowsLayout layout;
    layout.format = RowFormatOf(options.output);
    layout.header = options.header && with_header;
    if (options.with_filename) layout.path = path;
    if (options.columns) layout.columns = *options.columns;
    return layout;
}

// Writes one file's result as the options ask: its rows (the header only once, before the
// first file's rows), its spans or its number of matches; what was printed while searching
// is not printed again.
void WriteFileResult(const lintaro::CliOptions& options, const std::string& path,
                     lintaro::CliRunIo& io, const MatchReport& report, bool with_header,
                     std::ostream& out) {
    const lintaro::MatchRowsLayout layout = RowsLayout(options, path, with_header);
    switch (options.output) {
        case lintaro::CliOutput::kTable:
        case lintaro::CliOutput::kJson:
        case lintaro::CliOutput::kCsv:
            // The table operations leave a table; without them the rows are written straight
            // from the matches, which saves building it.
            if (io.Table()) {
                lintaro::WriteTableRows(*io.Table(), layout, options.threads, out);
                break;
            }
            io.PrintMatches(out, layout);
            break;
        case lintaro::CliOutput::kSpans:
            io.PrintMatches(out, layout);
            break;
        case lintaro::CliOutput::kCount:
            out << io.LineStartText() << report.match_count << '\n';
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

// Whether the files can be searched several at a time: more than one, no standard input
// (read through one shared descriptor), no --timeout (whose search worker forks, which must
// not happen while other threads allocate) and no export (which joins the tables in order).
bool SearchesInParallel(const lintaro::CliOptions& options) {
    return options.paths.size() > 1 && options.timeout_seconds <= 0 &&
           options.output != lintaro::CliOutput::kExport &&
           std::ranges::find(options.paths, lintaro::kStandardInputName) == options.paths.end();
}

// Whether a diagnosis line of report is left out under -s: the cut text's warning and a file
// that cannot be read, as grep -s leaves those out.
bool Silenced(const lintaro::CliOptions& options, const MatchReport& report, std::size_t line) {
    return options.quiet_warnings && line == 0 &&
           (report.problem == MatchReport::Problem::kTextCutMalformed ||
            report.problem == MatchReport::Problem::kTextCutNul ||
            report.problem == MatchReport::Problem::kFileUnreadable);
}

// One file's run: what it wrote and what it reports.
struct FileRun {
    std::unique_ptr<lintaro::CliRunIo> io;
    MatchReport report;
    std::error_code timer_error;  // the --timeout timer could not start: nothing ran
};

// Runs the pattern over the file at path, compiled as expression when that is given; with
// --timeout, stopped after that long.
FileRun RunFile(const lintaro::CliOptions& options, const std::string& path,
                lintaro::FileSystem& files, const std::shared_ptr<const lintaro::regex>& expression,
                const std::function<void(lintaro::CliRunIo&)>& prepare = {}) {
    FileRun run;
    try {
        // --encoding=auto reads the file once before the run, to choose its set.
        run.io = std::make_unique<lintaro::CliRunIo>(options, path, files);
    } catch (const std::bad_alloc&) {
        run.report.problem = MatchReport::Problem::kOutOfMemory;
        run.report.stage = lintaro::MatchStage::kRead;
        return run;
    }
    std::optional<RunTimeout> timeout;
    try {
        timeout.emplace(options.timeout_seconds, run.io->TimeoutProgress());
    } catch (const std::system_error& error) {
        run.timer_error = error.code();
        return run;
    }
    if (prepare) prepare(*run.io);
    lintaro::MatchRequest request = run.io->Request();
    request.expression = expression;
    run.report = lintaro::RunMatch(request, *run.io, run.io->Progress());
    return run;
}

// Runs the pattern over every file, writing each one's result in the files' order as it is
// done (or, for --format, joining their rows into one table exported at the end). Many files
// are searched several at a time, their output the same as one at a time. A file that cannot
// be read is reported and the others still run; a pattern that does not compile ends the run.
// A search stopped by --timeout keeps what it found and makes the status 2. sizes: the files'
// sizes as walked (-1 when unknown), which group them into batches for the threads.
int RunFiles(const lintaro::CliOptions& options, const std::vector<std::int64_t>& sizes) {
    lintaro::StandardInputFiles files;
    lintaro::OutputDestination destination(lintaro::SystemFiles(), options.output_path);
    bool failed = false;
    bool matched = false;
    bool header_written = false;
    std::optional<lintaro::ResultTable> joined;
    std::vector<FileRun> runs(options.paths.size());
    // Compiled once for all the files; a pattern that does not compile is left to the first
    // file's run, which says why.
    std::shared_ptr<const lintaro::regex> expression;
    if (options.paths.size() > 1) {
        expression = lintaro::CompilePattern(
            {.pattern = options.pattern, .ignore_case = options.ignore_case});
    }
    std::optional<lintaro::OrderedFileRuns> parallel;
    if (SearchesInParallel(options)) {
        const int threads = options.threads > 0 ? options.threads : lintaro::AvailableProcessors();
        parallel.emplace(sizes, std::max(threads, 1), [&](std::size_t i) {
            runs[i] = RunFile(options, options.paths[i], files, expression);
        });
    }
    // Each file's lines go out before the next file's warnings, where the two meet (2>&1): the
    // output is flushed before a message, rather than after every file.
    std::ostream* written = nullptr;
    const auto say = [&written](const std::string& line) {
        if (written != nullptr) written->flush();
        Say(line);
    };
    for (std::size_t i = 0; i < options.paths.size(); ++i) {
        const std::string& path = options.paths[i];
        if (parallel) {
            parallel->WaitFor(i);
        } else if (lintaro::PrintsMatches(options.output)) {
            // Printed while the search goes on, the matches need not be held all at once.
            runs[i] = RunFile(options, path, files, expression, [&](lintaro::CliRunIo& io) {
                io.PrintMatchesWhileSearching([&] { return written = destination.Stream(); },
                                              RowsLayout(options, path, !header_written));
            });
        } else {
            runs[i] = RunFile(options, path, files, expression);
        }
        // The file's run is let go once its output is written, and the next may start.
        const FileRun run = std::move(runs[i]);
        if (parallel) parallel->Taken(i);
        MatchReport report = run.report;
        if (!run.io) {
            say("out of memory while reading " + lintaro::MessageName(path));
            failed = true;
            continue;
        }
        lintaro::CliRunIo& io = *run.io;
        // Cut while its rows were printed, the file is said to be cut while its output was
        // written, below: that is what the output shows.
        if (io.LostTextWhilePrinting()) report.file_shrank = false;
        if (run.timer_error) {
            say("cannot start the --timeout timer: " + lintaro::ErrorText(run.timer_error));
            return kExitError;
        }
        // A cut UTF-8 text offers the set the file declares.
        const std::string declared = report.problem == MatchReport::Problem::kTextCutMalformed &&
                                             io.Charset().empty() &&
                                             path != lintaro::kStandardInputName
                                         ? lintaro::DeclaredOtherCharsetOfFile(path)
                                         : std::string();
        const lintaro::RunDiagnosis diagnosis = lintaro::DiagnoseRun(
            report, lintaro::MessageName(path), io.Charset(), options.timeout_seconds, declared);
        for (std::size_t line = 0; line < diagnosis.lines.size(); ++line) {
            if (!Silenced(options, report, line)) say(diagnosis.lines[line]);
        }
        // The same pattern would fail on every file.
        if (report.problem == MatchReport::Problem::kPatternInvalid ||
            report.problem == MatchReport::Problem::kPatternUnheld) {
            return kExitError;
        }
        // A run stopped by --timeout is printed all the same; the status says it is short.
        failed = failed || diagnosis.lost || report.cancelled;
        if (diagnosis.lost) {
            // Rows of a result that is lost went out already: the output is incomplete, and an
            // output file is not given its name.
            if (io.PrintedWhileSearching()) return kExitError;
            continue;
        }
        matched = matched || report.match_count > 0;
        try {
            if (io.Table() && options.operations.Any()) {
                const std::shared_ptr<const lintaro::TextBuffer>& page = io.Table()->Source();
                const lintaro::CliTableOperationsResult operated = lintaro::ApplyCliTableOperations(
                    options.operations, *io.Table(), page ? page->View() : std::string_view());
                if (!operated.error.empty()) return ReportUsageError(operated.error);
                for (const std::string& note : operated.notes) Say(note);
            }
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
            WriteFileResult(options, path, io, report, !header_written, *out);
            written = out;
            // Rows are written from the mapped file: one cut after its search wrote zeros.
            if (io.Text() && !report.file_shrank && io.Text()->PagesLost()) {
                say(lintaro::CutWhileWrittenLine(lintaro::MessageName(path)));
                failed = true;
            }
        } catch (const std::bad_alloc&) {
            // The output file goes away unplaced: an old file of that name stays as it was.
            say(options.output == lintaro::CliOutput::kExport
                    ? "out of memory while joining the tables"
                    : "out of memory while writing the output");
            return kExitError;
        }
        header_written = true;
        if (destination.Error()) return ReportWriteFailure(destination);
    }

    if (joined) {
        const lintaro::CliSelection selection = lintaro::SelectionForExport(options, *joined);
        if (selection.rect.IsEmpty()) {
            // Like the window, which refuses to export an empty selection: no output at all.
            Say(selection.empty_reason);
            return failed ? kExitError : kExitNoMatch;
        }
        for (const std::string& warning : lintaro::RoleWarnings(options, *joined)) Say(warning);
        std::ostream* out = destination.Stream();
        if (out == nullptr) return ReportWriteFailure(destination);
        try {
            WriteExport(options, *joined, selection.rect, *out);
        } catch (const std::bad_alloc&) {
            Say("out of memory while writing the output");
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
        case lintaro::CliAction::kListPresets:
            return PrintAnswer(lintaro::CliPresetListText());
        case lintaro::CliAction::kRun:
            break;
    }
    // Like grep: no FILE reads standard input, unless that is a terminal nobody types into.
    if (options.paths.empty() && !options.recursive) {
        if (::isatty(STDIN_FILENO) == 1) {
            return ReportUsageError("no FILE given, and standard input is a terminal");
        }
        options.paths.emplace_back(lintaro::kStandardInputName);
    }
    lintaro::WalkedFiles walked = lintaro::WalkPaths(options);
    for (const std::string& error : walked.errors) {
        if (!options.quiet_warnings) Say(error);
    }
    // Files found in folders are named on their lines, as grep -r names them.
    options.with_filename = options.with_filename || walked.paths != options.paths;
    options.paths = std::move(walked.paths);
    if (const auto input = lintaro::InputNamedByOutput(options.output_path, options.paths)) {
        Say("--output " + options.output_path + " is the input file " + *input +
            "; it is left as it was");
        return kExitError;
    }
    const int status = RunFiles(options, walked.sizes);
    return walked.errors.empty() ? status : kExitError;
}
