// Running a program as a child process with a time limit, keeping everything it printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lintaro {

// What to run and how, for designated initializers; every member but the program may be left
// out. Every text is passed as bytes, so paths need not be UTF-8.
struct ProgramRun {
    // A name without "/" is looked up on the test's own PATH.
    std::filesystem::path program = {};
    // argv[1] onwards, passed as they are (no shell).
    std::vector<std::string> arguments = {};
    // Standard input; without it the child reads /dev/null.
    std::optional<std::string> input = {};
    // Set in the child on top of the test's own environment, replacing a variable of that name.
    std::vector<std::pair<std::string, std::string>> environment = {};
    // Empty: the test's own working directory.
    std::filesystem::path working_directory = {};
    // The child's address space in bytes (RLIMIT_AS), so that running out of memory can be
    // provoked; no value: the test's own limit.
    std::optional<std::uint64_t> address_space_limit = {};
    // How many processes and threads the child's user may have (RLIMIT_NPROC), so that failing
    // to start a thread can be provoked. Root is not held to it, so a test run as root runs the
    // child as the user nobody, who must be able to read what it reads.
    std::optional<int> task_limit = {};
    // A run that lasts longer is killed together with every process it started.
    std::chrono::milliseconds time_limit = std::chrono::seconds(60);
    // Called with the child's process id every few milliseconds while it runs, so that a test
    // can act on it from outside (send a signal, truncate its file).
    std::function<void(int pid)> while_running = {};
};

// How one run ended.
struct ProgramOutcome {
    int start_error = 0;     // errno when the program could not be started, else 0
    bool timed_out = false;  // it ran into the time limit and was killed
    int status = -1;         // exit status when it exited
    int signal = 0;          // the signal that ended it, 0 when it exited
    std::string out;         // everything it wrote to standard output
    std::string err;         // everything it wrote to standard error
};

// Runs the program in a process group of its own and waits for it and for the end of its
// output. When the program ends, processes it left behind in its group are killed too.
ProgramOutcome RunProgram(const ProgramRun& run);

// Where a program name is found on PATH; empty when it is nowhere.
std::filesystem::path FindOnPath(const std::string& name);

}  // namespace lintaro
