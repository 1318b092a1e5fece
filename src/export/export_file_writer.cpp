// Output files through a temporary file that is renamed into place.
#include "export/export_file_writer.h"

#include <cerrno>
#include <random>
#include <utility>

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

}  // namespace

PendingFile::PendingFile(FileSystem& files, std::string directory)
    : files_(files), directory_(std::move(directory)) {}

PendingFile::~PendingFile() {
    Discard();
}

int PendingFile::Create() {
    error_ = EEXIST;
    for (int attempt = 0; attempt < kMaxTemporaryAttempts && error_ == EEXIST; ++attempt) {
        temporary_ = directory_ + TemporaryName();
        error_ = files_.CreateNew(temporary_, fd_);
    }
    if (error_ != 0) {
        temporary_.clear();
        fd_ = -1;
    }
    return error_;
}

int PendingFile::Write(std::string_view bytes) {
    if (error_ == 0 && fd_ >= 0) error_ = files_.WriteAll(fd_, bytes);
    return error_;
}

int PendingFile::Finish() {
    if (fd_ < 0) return error_ != 0 ? error_ : EBADF;
    const int close_error = files_.SyncAndClose(fd_);
    fd_ = -1;
    if (error_ == 0) error_ = close_error;
    return error_;
}

void PendingFile::Discard() {
    if (fd_ >= 0) files_.SyncAndClose(fd_);
    fd_ = -1;
    if (!temporary_.empty()) files_.Remove(temporary_);
    temporary_.clear();
}

int PendingFile::PlaceReplacing(const std::string& target) {
    int error = Finish();
    if (error == 0) error = files_.Rename(temporary_, target);
    if (error == 0) {
        temporary_.clear();
    } else {
        Discard();
    }
    return error;
}

WriteResult PendingFile::PlaceAsNew(const std::string& stem, std::string_view extension) {
    std::string target = NumberedName(directory_, stem, extension, 1);
    int error = Finish();
    for (int number = 2; error == 0; ++number) {
        error = PlaceNoReplace(files_, temporary_, target);
        if (error != EEXIST || number > kMaxNumberedNames) break;
        target = NumberedName(directory_, stem, extension, number);
        error = 0;
    }
    if (error != 0) {
        Discard();
        return {false, std::move(target), error};
    }
    temporary_.clear();
    return {true, std::move(target), 0};
}

WriteResult WriteNewFile(FileSystem& files, const std::string& directory, const std::string& stem,
                         std::string_view extension, std::string_view bytes) {
    PendingFile file(files, directory);
    if (const int error = file.Create(); error != 0) {
        return {false, NumberedName(directory, stem, extension, 1), error};
    }
    file.Write(bytes);
    return file.PlaceAsNew(stem, extension);
}

}  // namespace lintaro
