// Running a built program as a child process with a time limit, keeping what it printed.
#pragma once

#include <chrono>
#include <filesystem>
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

// Runs program with arguments (passed as they are, no shell), standard input from /dev/null
// and its output kept in files in directory. A run that lasts longer than limit is killed.
ProgramOutcome RunProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory, std::chrono::seconds limit);

}  // namespace lintaro
