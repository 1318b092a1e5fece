// Running a program as a child process with a time limit, keeping everything it printed.
#include "support/program_run.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>

namespace lintaro {

namespace {

// A file descriptor, closed when it goes.
class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() { Close(); }
    Descriptor(Descriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            Close();
            descriptor_ = std::exchange(other.descriptor_, -1);
        }
        return *this;
    }

    int Get() const { return descriptor_; }
    bool IsOpen() const { return descriptor_ >= 0; }
    void Close() {
        if (descriptor_ >= 0) close(descriptor_);
        descriptor_ = -1;
    }

  private:
    int descriptor_ = -1;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
};

// Both ends close on exec; the child's ends become its standard streams through dup2.
Pipe MakePipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category());
    return {Descriptor(ends[0]), Descriptor(ends[1])};
}

void MakeNonBlocking(const Descriptor& descriptor) {
    fcntl(descriptor.Get(), F_SETFL, fcntl(descriptor.Get(), F_GETFL) | O_NONBLOCK);
}

// Blocks SIGPIPE in this thread while the child runs, so that a child that stops reading its
// input gives EPIPE instead of ending the test; a SIGPIPE raised meanwhile is taken away.
class PipeSignalBlock {
  public:
    PipeSignalBlock() {
        sigemptyset(&pipe_signal_);
        sigaddset(&pipe_signal_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_signal_, &previous_);
    }
    ~PipeSignalBlock() {
        if (!sigismember(&previous_, SIGPIPE)) {
            const timespec no_wait{};
            while (sigtimedwait(&pipe_signal_, nullptr, &no_wait) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    PipeSignalBlock(const PipeSignalBlock&) = delete;
    PipeSignalBlock& operator=(const PipeSignalBlock&) = delete;

    // The mask the child must start with.
    const sigset_t& Previous() const { return previous_; }

  private:
    sigset_t pipe_signal_;
    sigset_t previous_;
};

// Everything the child needs, prepared before fork: after it only async-signal-safe calls.
struct ChildSetup {
    const char* path;
    char* const* argv;
    char* const* envp;
    int input;
    int output;
    int error;
    int report;                     // receives errno when the child cannot start the program
    const char* working_directory;  // nullptr: stay
    std::optional<std::uint64_t> address_space_limit;
    std::optional<int> task_limit;
    const sigset_t* signal_mask;
};

[[noreturn]] void ReportAndExit(int report) {
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report, &error, sizeof error);
    _exit(127);
}

[[noreturn]] void StartChild(const ChildSetup& setup) {
    setpgid(0, 0);
    if (dup2(setup.input, STDIN_FILENO) < 0 || dup2(setup.output, STDOUT_FILENO) < 0 ||
        dup2(setup.error, STDERR_FILENO) < 0) {
        ReportAndExit(setup.report);
    }
    if (setup.working_directory != nullptr && chdir(setup.working_directory) != 0) {
        ReportAndExit(setup.report);
    }
    if (setup.address_space_limit) {
        const rlimit limit{*setup.address_space_limit, *setup.address_space_limit};
        if (setrlimit(RLIMIT_AS, &limit) != 0) ReportAndExit(setup.report);
    }
    if (setup.task_limit) {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            ReportAndExit(setup.report);
        }
        const auto tasks = static_cast<rlim_t>(*setup.task_limit);
        const rlimit limit{tasks, tasks};
        if (setrlimit(RLIMIT_NPROC, &limit) != 0) ReportAndExit(setup.report);
    }
    sigprocmask(SIG_SETMASK, setup.signal_mask, nullptr);
    execve(setup.path, setup.argv, setup.envp);
    ReportAndExit(setup.report);
}

// Pointers to the words, ended by nullptr as execve wants them.
std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The test's environment with the run's variables set on top.
std::vector<std::string> Environment(const ProgramRun& run) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& [variable, value] : run.environment) replaced |= name == variable;
        if (!replaced) entries.emplace_back(text);
    }
    for (const auto& [variable, value] : run.environment) entries.push_back(variable + "=" + value);
    return entries;
}

// Appends what can be read now; closes the descriptor at the end of the output.
void ReadAvailable(Descriptor& from, std::string& to) {
    char buffer[1 << 16];
    while (true) {
        const ssize_t got = read(from.Get(), buffer, sizeof buffer);
        if (got > 0) {
            to.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got == 0 || errno != EAGAIN) from.Close();
            return;
        }
    }
}

// Writes what the pipe takes now; closes it once everything is written or the child has
// closed its end.
void WriteAvailable(Descriptor& to, const std::string& input, std::size_t& written) {
    while (written < input.size()) {
        const ssize_t put = write(to.Get(), input.data() + written, input.size() - written);
        if (put > 0) {
            written += static_cast<std::size_t>(put);
        } else if (put < 0 && errno == EINTR) {
            continue;
        } else {
            if (put < 0 && errno == EAGAIN) return;
            break;
        }
    }
    to.Close();
}

}  // namespace

std::filesystem::path FindOnPath(const std::string& name) {
    const char* variable = getenv("PATH");
    const std::string_view directories = variable != nullptr ? variable : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= directories.size();) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string_view directory = directories.substr(start, end - start);
        const std::filesystem::path candidate =
            std::filesystem::path(directory.empty() ? "." : directory) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

ProgramOutcome RunProgram(const ProgramRun& run) {
    ProgramOutcome outcome;
    const std::filesystem::path path = run.program.native().find('/') == std::string::npos
                                           ? FindOnPath(run.program.native())
                                           : run.program;
    if (path.empty()) {
        outcome.start_error = ENOENT;
        return outcome;
    }
    std::vector<std::string> words{run.program.native()};
    words.insert(words.end(), run.arguments.begin(), run.arguments.end());
    std::vector<char*> argv = Pointers(words);
    std::vector<std::string> environment = Environment(run);
    std::vector<char*> envp = Pointers(environment);

    Pipe output = MakePipe();
    Pipe error = MakePipe();
    Pipe report = MakePipe();
    Pipe input;
    if (run.input) {
        input = MakePipe();
    } else {
        input.read = Descriptor(open("/dev/null", O_RDONLY | O_CLOEXEC));
        if (!input.read.IsOpen()) throw std::system_error(errno, std::generic_category());
    }

    const PipeSignalBlock pipe_signal_block;
    const ChildSetup setup{path.c_str(),
                           argv.data(),
                           envp.data(),
                           input.read.Get(),
                           output.write.Get(),
                           error.write.Get(),
                           report.write.Get(),
                           run.working_directory.empty() ? nullptr : run.working_directory.c_str(),
                           run.address_space_limit,
                           run.task_limit,
                           &pipe_signal_block.Previous()};
    const pid_t child = fork();
    if (child < 0) {
        outcome.start_error = errno;
        return outcome;
    }
    if (child == 0) StartChild(setup);
    // Also here, so that the group exists before the parent may have to kill it.
    setpgid(child, child);
    input.read.Close();
    output.write.Close();
    error.write.Close();
    report.write.Close();

    // The report pipe closes on exec; before that the child writes errno when it fails.
    int start_error = 0;
    ssize_t got;
    do {
        got = read(report.read.Get(), &start_error, sizeof start_error);
    } while (got < 0 && errno == EINTR);
    int wait_status = 0;
    if (got == sizeof start_error) {
        waitpid(child, &wait_status, 0);
        outcome.start_error = start_error;
        return outcome;
    }

    MakeNonBlocking(output.read);
    MakeNonBlocking(error.read);
    std::size_t input_written = 0;
    if (run.input) {
        MakeNonBlocking(input.write);
        if (run.input->empty()) input.write.Close();
    }
    const auto deadline = std::chrono::steady_clock::now() + run.time_limit;
    bool running = true;
    while (running || output.read.IsOpen() || error.read.IsOpen()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd watched[3];
        Descriptor* descriptors[3];
        nfds_t count = 0;
        for (Descriptor* descriptor : {&output.read, &error.read, &input.write}) {
            if (!descriptor->IsOpen()) continue;
            const short events = descriptor == &input.write ? POLLOUT : POLLIN;
            watched[count] = {descriptor->Get(), events, 0};
            descriptors[count++] = descriptor;
        }
        // Looks at the child every few milliseconds: its output may stay open after it ends.
        const int wait_ms = running ? std::min<int>(10, static_cast<int>(left.count()))
                                    : static_cast<int>(left.count());
        if (poll(watched, count, wait_ms) > 0) {
            for (nfds_t i = 0; i < count; ++i) {
                if (watched[i].revents == 0) continue;
                if (descriptors[i] == &input.write) {
                    WriteAvailable(input.write, *run.input, input_written);
                } else {
                    ReadAvailable(*descriptors[i],
                                  descriptors[i] == &output.read ? outcome.out : outcome.err);
                }
            }
        }
        if (running && run.while_running) run.while_running(child);
        siginfo_t ended{};
        if (running &&
            waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == child) {
            // Before reaping, while the group's number cannot be taken by another process.
            kill(-child, SIGKILL);
            waitpid(child, &wait_status, 0);
            running = false;
        }
    }
    if (running) {
        outcome.timed_out = true;
        kill(-child, SIGKILL);
        waitpid(child, &wait_status, 0);
    }
    if (output.read.IsOpen()) ReadAvailable(output.read, outcome.out);
    if (error.read.IsOpen()) ReadAvailable(error.read, outcome.err);
    if (WIFEXITED(wait_status)) outcome.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) outcome.signal = WTERMSIG(wait_status);
    return outcome;
}

}  // namespace lintaro
