// The command line: the file that "Open With" and `lintaro FILE` name, --help and --version.
#include "app/startup_files.h"

#include <QList>

#include <unistd.h>

#include <cerrno>
#include <iostream>

namespace lintaro {

namespace {

constexpr const char* kHelp =
    "Usage: lintaro [FILE]\n"
    "Opens the Lintaro window and matches its pattern over FILE (only the first file named is\n"
    "opened). Without FILE, drop a file on the window.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n";

// "/" joined pieces without empty ones, "." ones and those a following ".." takes back.
QByteArray CleanAbsolutePath(const QByteArray& path) {
    QList<QByteArray> kept;
    for (const QByteArray& piece : path.split('/')) {
        if (piece.isEmpty() || piece == ".") continue;
        if (piece == "..") {
            if (!kept.isEmpty()) kept.removeLast();
            continue;
        }
        kept.append(piece);
    }
    return "/" + kept.join('/');
}

QByteArray CurrentDirectory() {
    QByteArray directory(4096, '\0');
    while (getcwd(directory.data(), static_cast<std::size_t>(directory.size())) == nullptr) {
        if (errno != ERANGE) return "/";
        directory.resize(directory.size() * 2);
    }
    directory.truncate(static_cast<qsizetype>(qstrlen(directory.constData())));
    return directory;
}

std::vector<std::string_view> Arguments(int argc, char** argv) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

}  // namespace

std::optional<std::string> CommandLineAnswer(const std::vector<std::string_view>& arguments) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help") return std::string(kHelp);
        if (argument == "--version") return std::string("lintaro " LINTARO_VERSION "\n");
    }
    return std::nullopt;
}

StartupFiles FindStartupFiles(const std::vector<std::string_view>& arguments,
                              const QByteArray& current_directory) {
    StartupFiles files;
    bool options_ended = false;
    for (const std::string_view argument : arguments) {
        if (argument == "--" && !options_ended && !files.file) {
            options_ended = true;
            continue;
        }
        QByteArray path(argument.data(), static_cast<qsizetype>(argument.size()));
        if (!path.startsWith('/')) path = current_directory + "/" + path;
        path = CleanAbsolutePath(path);
        if (files.file) {
            files.ignored.push_back(path);
        } else {
            files.file = path;
        }
    }
    return files;
}

std::string IgnoredFilesNote(const std::vector<QByteArray>& ignored) {
    if (ignored.empty()) return {};
    std::string note = "lintaro: only the first file is opened; ignored:";
    for (const QByteArray& path : ignored) {
        note += ' ';
        note.append(path.constData(), static_cast<std::size_t>(path.size()));
    }
    return note + "\n";
}

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    const std::optional<std::string> answer = CommandLineAnswer(Arguments(argc, argv));
    if (!answer) return std::nullopt;
    std::cout << *answer << std::flush;
    return 0;
}

std::optional<QByteArray> StartupFile(int argc, char** argv) {
    const StartupFiles files = FindStartupFiles(Arguments(argc, argv), CurrentDirectory());
    std::cerr << IgnoredFilesNote(files.ignored);
    return files.file;
}

}  // namespace lintaro
