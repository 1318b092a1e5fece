// Times the match run on one file, stage by stage, and the same search by ripgrep and grep.
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/cpu_features.h"
#include "base/processors.h"
#include "base/program_text.h"
#include "export/export_file_writer.h"
#include "export/export_format.h"
#include "export/export_io.h"
#include "export/export_selection.h"
#include "export/export_text.h"
#include "match/match_run.h"
#include "match/regex.h"
#include "match/subject_text.h"
#include "table/qt_conversions.h"
#include "table/qt_text_collation.h"
#include "table/table_operations.h"

namespace {

using Clock = std::chrono::steady_clock;
using lintaro::MatchStage;

constexpr const char* kUsage =
    "usage: lintaro_bench FILE [--pattern PATTERN] [--case-sensitive] [--encoding NAME]\n"
    "                     [--runs N] [--no-tools] [--baseline-instructions]\n"
    "  Runs the match run on FILE N times (default 3) with PATTERN (default the preset pattern)\n"
    "  and prints the best time of each stage with the spread over the runs, then the same\n"
    "  search by rg -o and grep -oP (each -i unless --case-sensitive), their output drained\n"
    "  through a pipe. Then exports the whole table in each of the export formats into a\n"
    "  temporary directory and compares each with writing the same bytes. With --encoding the\n"
    "  run reads FILE in that character set, as lintaro-cli --encoding does. With\n"
    "  --baseline-instructions the scans run as on a processor without AVX2. With\n"
    "  --window-export FORMAT (a --format name of lintaro-cli) it only runs the match once and\n"
    "  exports the whole table in FORMAT as the window does (file, and clipboard text for the\n"
    "  formats that go there), and prints its seconds and the peak memory before and after.\n";

struct Options {
    std::string path;
    std::string pattern = lintaro::kPresetPattern;
    bool ignore_case = true;
    std::string encoding;  // the file's character set; empty: UTF-8
    int runs = 3;
    bool tools = true;
    bool baseline_instructions = false;
    std::string window_export;  // a format's cli_name: only the window's export is measured
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--pattern" && i + 1 < argc) {
            options.pattern = argv[++i];
        } else if (argument == "--case-sensitive") {
            options.ignore_case = false;
        } else if (argument == "--encoding" && i + 1 < argc) {
            options.encoding = argv[++i];
        } else if (argument == "--no-tools") {
            options.tools = false;
        } else if (argument == "--baseline-instructions") {
            options.baseline_instructions = true;
        } else if (argument == "--window-export" && i + 1 < argc) {
            options.window_export = argv[++i];
        } else if (argument == "--runs" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            const auto parsed =
                std::from_chars(value.data(), value.data() + value.size(), options.runs);
            if (parsed.ec != std::errc{} || options.runs < 1) return std::nullopt;
        } else if (!argument.starts_with("-") && options.path.empty()) {
            options.path = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.path.empty()) return std::nullopt;
    return options;
}

double SecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A point in time, on the wall clock and in processor time used by all threads so far; the two
// apart show how many processors a stage kept busy.
struct Moment {
    Clock::time_point wall;
    double cpu = 0;

    static Moment Now() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& time) {
            return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
        };
        return {Clock::now(), seconds(usage.ru_utime) + seconds(usage.ru_stime)};
    }
};

// Keeps one match run's table and notes when each stage ends.
class BenchRunOutput : public lintaro::MatchRunOutput {
  public:
    void SetCountLine(const std::string& /*line*/) override {}
    void ReplaceTable(lintaro::ResultTable&& new_table) override {
        table.emplace(std::move(new_table));
    }
    void StageDone(MatchStage stage) override {
        stage_ends[static_cast<std::size_t>(stage)] = Moment::Now();
    }

    std::optional<lintaro::ResultTable> table;
    Moment stage_ends[3];
};

// Best and worst wall time of one figure over the runs, and the processor time of the best.
struct Timing {
    double best = 1e300;
    double worst = 0;
    double best_cpu = 0;
    void Add(double seconds) { Add(seconds, 0); }
    void Add(double seconds, double cpu) {
        if (seconds < best) best_cpu = cpu;
        best = std::min(best, seconds);
        worst = std::max(worst, seconds);
    }
    void Add(const Moment& from, const Moment& to) {
        Add(SecondsBetween(from.wall, to.wall), to.cpu - from.cpu);
    }
};

void PrintTiming(const char* name, std::int64_t bytes, const Timing& timing,
                 std::int64_t file_bytes) {
    std::printf("%-22s %12lld %9.3f %9.3f %9.3f %10.1f\n", name, static_cast<long long>(bytes),
                timing.best, timing.worst - timing.best, timing.best_cpu,
                static_cast<double>(file_bytes) / 1e6 / timing.best);
}

// Runs a program with its standard output drained through a pipe and returns its wall time, or
// nothing when it cannot be started or fails. GNU grep stops at the first match when its output
// is /dev/null, so a pipe is what makes it do the whole work.
std::optional<double> TimeProgram(const std::vector<std::string>& arguments) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    if (spawned != 0) {
        close(pipe_ends[0]);
        return std::nullopt;
    }
    std::vector<char> buffer(1 << 20);
    while (read(pipe_ends[0], buffer.data(), buffer.size()) > 0) {
    }
    close(pipe_ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = SecondsBetween(start, Clock::now());
    // Exit status 1 only says that nothing matched.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
    return seconds;
}

void CompareWithTool(const char* name, const std::vector<std::string>& arguments, int runs,
                     double our_total) {
    Timing timing;
    for (int run = 0; run < runs; ++run) {
        const std::optional<double> seconds = TimeProgram(arguments);
        if (!seconds) {
            std::printf("%-22s not installed or failed\n", name);
            return;
        }
        timing.Add(*seconds);
    }
    std::printf("%-22s %9.3f s best, spread %.3f s; match run / it = %.2f\n", name, timing.best,
                timing.worst - timing.best, our_total / timing.best);
}

// The search stage alone, on one thread and on all, for the figures of the engine itself.
void TimeSearchAlone(const Options& options, int runs, std::int64_t file_bytes) {
    const lintaro::SubjectText subject = lintaro::DecodeSubject(
        lintaro::ReadSubjectBytes(options.path), lintaro::ProgramCharset(), options.encoding);
    lintaro::regex expression;
    if (!expression.Compile(lintaro::Utf8ToProgramText(options.pattern), !options.ignore_case)) {
        return;
    }
    for (const int parts : {1, 0}) {
        Timing timing;
        std::int64_t matches = 0;
        for (int run = 0; run < runs; ++run) {
            const Moment start = Moment::Now();
            matches =
                expression.SearchAll(subject.text.View(), {.parts = parts, .threads = 0}).size();
            timing.Add(start, Moment::Now());
        }
        const std::string name =
            parts == 1
                ? "search alone, 1 part"
                : "search alone, " + std::to_string(lintaro::AvailableProcessors()) + " threads";
        PrintTiming(name.c_str(), matches, timing, file_bytes);
    }
}

// Reading and decoding the file the batch program's way, mapped instead of copied, for
// comparison with the read and decode stages of the window's way above.
void TimeMapping(const std::string& path, std::int64_t file_bytes, int runs) {
    if (file_bytes == 0) return;
    Timing timing;
    std::int64_t text_bytes = 0;
    for (int run = 0; run < runs; ++run) {
        const Moment start = Moment::Now();
        const lintaro::SubjectText subject = lintaro::DecodeSubject(
            lintaro::ReadSubjectBytes(path, lintaro::SystemFiles(), lintaro::ProgramCharset(),
                                      nullptr, lintaro::SubjectReading::kMap));
        text_bytes = static_cast<std::int64_t>(subject.text.Size());
        timing.Add(start, Moment::Now());
    }
    PrintTiming("map + decode", text_bytes, timing, file_bytes);
}

// Applies each table operation to a copy of the run's table, as the window does (the copy
// included in the time): on group 1 (the preset's links) and group 2 (its anchor texts).
// Sorting texts is timed with the window's QCollator and the batch program's strxfrm.
void TimeTableOperations(const lintaro::ResultTable& table, int runs) {
    using Operation = std::function<void(lintaro::ResultTable&)>;
    const std::pair<const char*, Operation> operations[] = {
        {"decode column 3", [](lintaro::ResultTable& t) { lintaro::DecodeColumn(t, 3); }},
        {"resolve column 2",
         [](lintaro::ResultTable& t) { lintaro::ResolveColumn(t, 2, "https://example.com/d/"); }},
        {"trim column 3", [](lintaro::ResultTable& t) { lintaro::TrimColumn(t, 3); }},
        {"unique column 2", [](lintaro::ResultTable& t) { lintaro::KeepUniqueRows(t, 2); }},
        {"unique column 3", [](lintaro::ResultTable& t) { lintaro::KeepUniqueRows(t, 3); }},
        {"sort 2 (QCollator)",
         [](lintaro::ResultTable& t) {
             lintaro::QtTextCollation collation;
             lintaro::SortRows(t, 2, collation);
         }},
        {"sort 2 (strxfrm)",
         [](lintaro::ResultTable& t) {
             lintaro::CLibraryCollation collation;
             lintaro::SortRows(t, 2, collation);
         }},
        {"sort 3 (QCollator)",
         [](lintaro::ResultTable& t) {
             lintaro::QtTextCollation collation;
             lintaro::SortRows(t, 3, collation);
         }},
    };
    std::printf("%-22s %12s %9s %9s\n", "operation (copy incl.)", "rows left", "best s", "spread");
    for (const auto& [name, operation] : operations) {
        Timing timing;
        int rows = 0;
        for (int run = 0; run < runs; ++run) {
            const Clock::time_point start = Clock::now();
            lintaro::ResultTable copy = table;
            operation(copy);
            timing.Add(SecondsBetween(start, Clock::now()));
            rows = copy.RowCount() - copy.FixedRowCount();
        }
        std::printf("%-22s %12d %9.3f %9.3f\n", name, rows, timing.best,
                    timing.worst - timing.best);
    }
}

// Exports every data row and column 1 to the last in each format, as the corner click and the
// export button do, and compares that with writing the same bytes to a new file the same way.
void TimeExports(const lintaro::ResultTable& table, int runs) {
    namespace fs = std::filesystem;
    const fs::path directory =
        fs::temp_directory_path() / ("lintaro_bench_" + std::to_string(getpid()));
    fs::create_directories(directory);
    const std::string prefix = directory.string() + "/";
    const lintaro::SelectionRect selection{1, 1, table.RowCount() - 1, table.ColumnCount() - 1};
    lintaro::ColumnRoles roles;  // the link and text columns of the preset pattern
    roles.ChooseLinkColumn(0, 2);
    roles.ChooseTextColumn(0, 3);
    lintaro::PosixFileSystem files;
    std::printf("%-22s %12s %9s %9s %9s\n", "export (whole table)", "bytes", "best s", "write s",
                "ratio");
    for (const lintaro::ExportFormatInfo& info : lintaro::kExportFormats) {
        Timing exporting;
        Timing writing;
        std::size_t bytes = 0;
        for (int run = 0; run < runs; ++run) {
            Clock::time_point start = Clock::now();
            std::string text = lintaro::BuildExportText(info.format, table, selection, roles);
            const lintaro::WriteResult exported =
                lintaro::WriteNewFile(files, prefix, "export", info.extension, {text});
            exporting.Add(SecondsBetween(start, Clock::now()));
            bytes = text.size();
            start = Clock::now();
            const lintaro::WriteResult written =
                lintaro::WriteNewFile(files, prefix, "bytes", info.extension, {text});
            writing.Add(SecondsBetween(start, Clock::now()));
            fs::remove(exported.path);
            fs::remove(written.path);
        }
        std::printf("%-22s %12zu %9.3f %9.3f %9.2f\n", std::string(info.cli_name).c_str(), bytes,
                    exporting.best, writing.best, exporting.best / writing.best);
    }
    fs::remove_all(directory);
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
}

// The window's side of an export, without a window: the clipboard's text is built as the
// window builds it, and placed nowhere.
class BenchExportIo final : public lintaro::ExportIo {
  public:
    BenchExportIo(const lintaro::ResultTable& table, lintaro::ExportFormat format,
                  std::string caption)
        : table_(table), format_(format), caption_(std::move(caption)) {
        roles_.ChooseLinkColumn(0, 2);
        roles_.ChooseTextColumn(0, 3);
    }
    lintaro::SelectionRect Selection() const override {
        return {1, 1, table_.RowCount() - 1, table_.ColumnCount() - 1};
    }
    lintaro::ExportFormat CheckedFormat() const override { return format_; }
    const lintaro::ResultTable& Table() const override { return table_; }
    lintaro::ColumnRoles Roles() const override { return roles_; }
    std::string DropZoneCaption() const override { return caption_; }
    void AddClipboardText(std::string_view utf8) override {
        lintaro::AppendUtf8(clipboard_to_come_, utf8);
    }
    void PlaceClipboardText() override {
        clipboard_to_come_.squeeze();
        clipboard = std::exchange(clipboard_to_come_, QString());
    }
    void DropClipboardText() override { clipboard_to_come_ = QString(); }
    void ShowMessage(const std::string& text, const std::string& /*caption*/,
                     bool is_error) override {
        if (is_error) std::fprintf(stderr, "%s\n", text.c_str());
    }
    void ShowExportDone(const std::string& directory, const std::string& file_name) override {
        written = directory + file_name;
    }

    QString clipboard;
    std::string written;

  private:
    const lintaro::ResultTable& table_;
    const lintaro::ExportFormat format_;
    const std::string caption_;
    lintaro::ColumnRoles roles_;
    QString clipboard_to_come_;
};

// Exports every data row and column 1 to the last in format through the window's export: the
// file written and, for the formats that also go there, the clipboard's text. Prints the
// seconds and the process's peak memory before and after.
void MeasureWindowExport(const lintaro::ResultTable& table, const lintaro::ExportFormatInfo& info,
                         std::int64_t file_bytes) {
    namespace fs = std::filesystem;
    const fs::path directory =
        fs::temp_directory_path() / ("lintaro_bench_" + std::to_string(getpid()));
    fs::create_directories(directory);
    const auto print = [file_bytes](const char* stage, double seconds) {
        const double peak = PeakMegabytes();
        std::printf("%-30s %8.3f s   peak %8.1f MB = %.2f x the file\n", stage, seconds, peak,
                    peak * 1e6 / static_cast<double>(std::max<std::int64_t>(file_bytes, 1)));
    };
    print("match run (the table)", 0);
    BenchExportIo io(table, info.format, (directory / "page.html").string());
    const Clock::time_point start = Clock::now();
    lintaro::ExportSelection(io);
    print(info.to_clipboard ? "exported (file and clipboard)" : "exported (file)",
          SecondsBetween(start, Clock::now()));
    std::printf("export file %lld bytes, clipboard text %lld UTF-16 units\n",
                static_cast<long long>(io.written.empty() ? 0 : fs::file_size(io.written)),
                static_cast<long long>(io.clipboard.size()));
    fs::remove_all(directory);
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    lintaro::LimitToBaselineInstructions(options->baseline_instructions);
    std::error_code error;
    const auto file_bytes =
        static_cast<std::int64_t>(std::filesystem::file_size(options->path, error));
    if (error) {
        std::fprintf(stderr, "lintaro_bench: cannot read %s: %s\n", options->path.c_str(),
                     error.message().c_str());
        return 1;
    }

    const lintaro::MatchRequest request = {.pattern = options->pattern,
                                           .ignore_case = options->ignore_case,
                                           .subject_path = options->path,
                                           .subject_charset = options->encoding};
    BenchRunOutput io;
    // As in the window: a run that can be cancelled, so its search runs in a worker process.
    lintaro::WorkProgress progress;
    Timing stages[4];
    Timing total;
    std::int64_t matches = 0;
    for (int run = 0; run < options->runs; ++run) {
        io.table.reset();  // one run's memory at a time
        const Moment start = Moment::Now();
        const lintaro::MatchReport report = lintaro::RunMatch(request, io, &progress);
        const Moment end = Moment::Now();
        matches = report.match_count;
        Moment stage_start = start;
        for (std::size_t stage = 0; stage < 3; ++stage) {
            stages[stage].Add(stage_start, io.stage_ends[stage]);
            stage_start = io.stage_ends[stage];
        }
        stages[3].Add(stage_start, end);
        total.Add(start, end);
    }
    if (!options->window_export.empty()) {
        const auto info = std::ranges::find(lintaro::kExportFormats, options->window_export,
                                            &lintaro::ExportFormatInfo::cli_name);
        if (info == std::end(lintaro::kExportFormats)) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        MeasureWindowExport(*io.table, *info, file_bytes);
        return 0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peak_bytes = static_cast<double>(usage.ru_maxrss) * 1024;

    std::printf("file %s (%s), %lld bytes; pattern %s; case %s; %d processors available\n",
                options->path.c_str(),
                options->encoding.empty() ? "UTF-8" : options->encoding.c_str(),
                static_cast<long long>(file_bytes), options->pattern.c_str(),
                options->ignore_case ? "ignored" : "sensitive", lintaro::AvailableProcessors());
    std::printf(
        "%d runs: best wall seconds, spread (worst - best), processor seconds of the best run\n"
        "(all threads), MB/s of the file (10^6 bytes) at the best time\n",
        options->runs);
    std::printf("%-22s %12s %9s %9s %9s %10s\n", "stage", "bytes/rows", "best s", "spread", "cpu s",
                "MB/s");
    PrintTiming("read", file_bytes, stages[0], file_bytes);
    PrintTiming("decode", file_bytes, stages[1], file_bytes);
    PrintTiming("search", file_bytes, stages[2], file_bytes);
    PrintTiming("table", matches, stages[3], file_bytes);
    PrintTiming("total (RunMatch)", matches, total, file_bytes);
    std::printf("matches %lld; peak memory %.1f MB = %.2f x the file\n",
                static_cast<long long>(matches), peak_bytes / 1e6,
                peak_bytes / static_cast<double>(std::max<std::int64_t>(file_bytes, 1)));
    TimeExports(*io.table, options->runs);
    TimeTableOperations(*io.table, options->runs);
    io.table.reset();

    TimeSearchAlone(*options, options->runs, file_bytes);
    TimeMapping(options->path, file_bytes, options->runs);
    if (!options->tools) return 0;
    const std::string& pattern = options->pattern;  // UTF-8, as the tools read it
    std::vector<std::string> rg = {"rg", "-o"};
    std::vector<std::string> grep = {"grep", "-oP"};
    if (options->ignore_case) {
        rg.push_back("-i");
        grep.push_back("-i");
    }
    for (std::vector<std::string>* tool : {&rg, &grep}) {
        tool->push_back("--");
        tool->push_back(pattern);
        tool->push_back(options->path);
    }
    CompareWithTool(options->ignore_case ? "rg -o -i" : "rg -o", rg, options->runs, total.best);
    CompareWithTool(options->ignore_case ? "grep -oiP" : "grep -oP", grep, options->runs,
                    total.best);
    return 0;
}
