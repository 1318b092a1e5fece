// The command line: the file that "Open With" and `lintaro FILE` name, --help and --version.
#pragma once

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintaro {

// The text that --help or --version asks for, to be printed on standard output instead of
// opening the window; no value when neither is among arguments (those after the program's
// name; "--" ends the options).
std::optional<std::string> CommandLineAnswer(const std::vector<std::string_view>& arguments);

// The files the arguments name: the first one is opened, the others are ignored. Paths are the
// bytes the system gave, made absolute against current_directory and cleaned of "." and ".."
// pieces by their names alone, as a drop gives them. A "--" before the first file is skipped.
struct StartupFiles {
    std::optional<QByteArray> file;
    std::vector<QByteArray> ignored;
};
StartupFiles FindStartupFiles(const std::vector<std::string_view>& arguments,
                              const QByteArray& current_directory);

// What standard error says about ignored files; empty when there are none.
std::string IgnoredFilesNote(const std::vector<QByteArray>& ignored);

// For main: prints the answer to --help or --version and gives the exit status, before Qt
// starts so that no display is needed; no value when the window is to open.
std::optional<int> AnswerCommandLine(int argc, char** argv);
// For main, once Qt has taken its own options out of argv: the file to open, with a note on
// standard error about the ignored ones.
std::optional<QByteArray> StartupFile(int argc, char** argv);

}  // namespace lintaro
