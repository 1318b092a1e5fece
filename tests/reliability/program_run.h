// Running a built program as a child process with a time limit, keeping what it printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lintaro {

// How one run of a program ended.
struct ProgramOutcome {
    bool finished = false;  // false: it ran past the time limit and was killed
    int status = -1;        // exit status when it exited
    int signal = 0;         // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

// What a run may do besides: a limit on the child's address space (RLIMIT_AS, 0 for none), and
// a check called with the child's process id every few milliseconds while it runs.
struct ChildControl {
    std::uint64_t address_space_bytes = 0;
    std::function<void(int pid)> while_running;
};

// Runs program with arguments (passed as they are, no shell), standard input from /dev/null
// and its output kept in files in directory. A run that lasts longer than limit is killed.
ProgramOutcome RunProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory, std::chrono::seconds limit,
                          const ChildControl& control = {});

}  // namespace lintaro
