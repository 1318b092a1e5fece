// New-file writing through a temporary file that is renamed into a free name.
#include "export/export_file_writer.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace lintaro {
namespace {

constexpr int kMaxTemporaryAttempts = 100;
constexpr int kMaxNumberedNames = 9999;

std::string TemporaryName() {
    static std::mt19937_64 engine{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = ".lintaro-";
    std::uint64_t bits = engine();
    for (int i = 0; i < 16; ++i, bits >>= 4) name += kDigits[bits & 0xF];
    return name + ".tmp";
}

// name, name (2), name (3) ...
std::string NumberedName(const std::string& directory, const std::string& stem,
                         std::string_view extension, int number) {
    std::string path = directory + stem;
    if (number > 1) path += " (" + std::to_string(number) + ")";
    path += extension;
    return path;
}

// Gives temporary the name target unless target exists; falls back to a hard link where the
// file system cannot rename without replacing.
int PlaceNoReplace(FileSystem& files, const std::string& temporary, const std::string& target) {
    const int error = files.RenameNoReplace(temporary, target);
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return error;
    const int link_error = files.Link(temporary, target);
    if (link_error == 0) files.Remove(temporary);
    return link_error;
}

WriteResult Failure(std::string path, int error) {
    return {false, std::move(path), std::strerror(error)};
}

}  // namespace

WriteResult WriteNewFile(FileSystem& files, const std::string& directory, const std::string& stem,
                         std::string_view extension, std::string_view bytes) {
    const std::string first_name = NumberedName(directory, stem, extension, 1);

    std::string temporary;
    int fd = -1;
    int error = EEXIST;
    for (int attempt = 0; attempt < kMaxTemporaryAttempts && error == EEXIST; ++attempt) {
        temporary = directory + TemporaryName();
        error = files.CreateNew(temporary, fd);
    }
    if (error != 0) return Failure(first_name, error);

    error = files.WriteAll(fd, bytes);
    const int close_error = files.SyncAndClose(fd);
    if (error == 0) error = close_error;
    if (error != 0) {
        files.Remove(temporary);
        return Failure(first_name, error);
    }

    std::string target;
    for (int number = 1; number <= kMaxNumberedNames; ++number) {
        target = NumberedName(directory, stem, extension, number);
        error = PlaceNoReplace(files, temporary, target);
        if (error != EEXIST) break;
    }
    if (error != 0) {
        files.Remove(temporary);
        return Failure(target, error);
    }
    return {true, target, {}};
}

}  // namespace lintaro
