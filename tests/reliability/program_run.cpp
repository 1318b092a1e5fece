// Running a built program as a child process with a time limit, keeping what it printed.
#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace lintaro {

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// In the child: points descriptor at path, or ends the child.
void Redirect(int descriptor, const std::filesystem::path& path, int flags) {
    const int file = open(path.c_str(), flags, 0600);
    if (file < 0 || dup2(file, descriptor) < 0) _exit(127);
    close(file);
}

}  // namespace

ProgramOutcome RunProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory, std::chrono::seconds limit,
                          const ChildControl& control) {
    const std::filesystem::path out = directory / "program.out";
    const std::filesystem::path err = directory / "program.err";
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        Redirect(STDIN_FILENO, "/dev/null", O_RDONLY);
        Redirect(STDOUT_FILENO, out, O_WRONLY | O_CREAT | O_TRUNC);
        Redirect(STDERR_FILENO, err, O_WRONLY | O_CREAT | O_TRUNC);
        if (control.address_space_bytes != 0) {
            const rlimit memory{control.address_space_bytes, control.address_space_bytes};
            if (setrlimit(RLIMIT_AS, &memory) != 0) _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }

    // Polls rather than blocks, so that a child that hangs can be killed at the limit.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    ProgramOutcome outcome;
    int wait_status = 0;
    while (true) {
        const pid_t done = waitpid(child, &wait_status, WNOHANG);
        if (done == child) {
            outcome.finished = true;
            break;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &wait_status, 0);
            break;
        }
        if (control.while_running) control.while_running(child);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(wait_status)) outcome.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) outcome.signal = WTERMSIG(wait_status);
    outcome.out = ReadAll(out);
    outcome.err = ReadAll(err);
    return outcome;
}

}  // namespace lintaro
