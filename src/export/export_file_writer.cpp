// Output files through a temporary file that is renamed into place.
#include "export/export_file_writer.h"

#include <cerrno>
#include <random>
#include <utility>

namespace lintaro {
namespace {

constexpr int kMaxTemporaryAttempts = 100;
constexpr int kMaxNumberedNames = 9999;
// How much is written between two starts of writing it to storage: enough to keep the storage
// busy, little enough that the final flush has only a moment's work left.
constexpr std::int64_t kWritebackBytes = std::int64_t{8} << 20;

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
std::error_code RenameNoReplaceOrLink(FileSystem& files, const std::string& temporary,
                                      const std::string& target) {
    const std::error_code error = files.RenameNoReplace(temporary, target);
    if (error != std::errc::invalid_argument && error != std::errc::function_not_supported &&
        error != std::errc::operation_not_supported) {
        return error;
    }
    const std::error_code link_error = files.Link(temporary, target);
    if (!link_error) files.Remove(temporary);
    return link_error;
}

// Tries fresh hidden names in directory until make(name) gives something other than EEXIST;
// name is the one made, or empty when none could be.
template <typename Make>
std::error_code WithFreshName(const std::string& directory, std::string& name, const Make& make) {
    std::error_code error = SystemError(EEXIST);
    for (int attempt = 0; attempt < kMaxTemporaryAttempts && error == std::errc::file_exists;
         ++attempt) {
        name = directory + TemporaryName();
        error = make(name);
    }
    if (error) name.clear();
    return error;
}

}  // namespace

PendingFile::PendingFile(FileSystem& files, std::string directory)
    : files_(files), directory_(std::move(directory)) {}

PendingFile::~PendingFile() {
    Discard();
}

std::error_code PendingFile::Create() {
    error_ = files_.CreateUnnamed(directory_, fd_);
    unnamed_ = !error_;
    if (error_ == std::errc::operation_not_supported || error_ == std::errc::is_a_directory ||
        error_ == std::errc::invalid_argument) {
        // No unnamed files here (an old kernel answers EISDIR): a named temporary instead.
        error_ = WithFreshName(directory_, temporary_, [this](const std::string& name) {
            return files_.CreateNew(name, fd_);
        });
    }
    if (error_) fd_ = -1;
    return error_;
}

std::error_code PendingFile::Write(std::string_view bytes) {
    if (error_ || fd_ < 0) return error_;
    error_ = files_.WriteAll(fd_, bytes);
    written_ += static_cast<std::int64_t>(bytes.size());
    if (!error_ && written_ - written_back_ >= kWritebackBytes) {
        files_.StartWriteback(fd_, written_back_, written_ - written_back_);
        written_back_ = written_;
    }
    return error_;
}

std::error_code PendingFile::Finish() {
    if (fd_ < 0) return error_ ? error_ : SystemError(EBADF);
    if (unnamed_) {
        // Kept open: closing it before it has a name would throw it away.
        const std::error_code sync_error = files_.Sync(fd_);
        if (!error_) error_ = sync_error;
        return error_;
    }
    const std::error_code close_error = files_.SyncAndClose(fd_);
    fd_ = -1;
    if (!error_) error_ = close_error;
    return error_;
}

std::error_code PendingFile::PlaceNoReplace(const std::string& target) {
    if (unnamed_) return files_.LinkUnnamed(fd_, target);
    return RenameNoReplaceOrLink(files_, temporary_, target);
}

std::error_code PendingFile::KeepStatusOf(const std::string& target) {
    if (error_ || fd_ < 0) return error_ ? error_ : SystemError(EBADF);
    FileStatus status;
    if (files_.StatusOf(target, status) || !status.regular_file) return {};
    // A new file under one name would leave the old text under the others; writing into the
    // old file instead could leave it half written. The file stays as it is.
    if (status.links > 1) return LintaroError::kOtherHardLinks;
    return files_.SetStatus(fd_, status);
}

void PendingFile::Discard() {
    if (fd_ >= 0) files_.Close(fd_);
    fd_ = -1;
    unnamed_ = false;
    if (!temporary_.empty()) files_.Remove(temporary_);
    temporary_.clear();
}

std::error_code PendingFile::PlaceReplacing(const std::string& target) {
    std::error_code error = KeepStatusOf(target);
    if (!error) error = Finish();
    if (!error && unnamed_) {
        // A link never replaces a name: the file gets a hidden name of its own first, which
        // the rename then moves over the target in one step.
        error = WithFreshName(directory_, temporary_, [this](const std::string& name) {
            return files_.LinkUnnamed(fd_, name);
        });
    }
    if (!error) error = files_.Rename(temporary_, target);
    if (!error) temporary_.clear();
    Discard();
    return error;
}

WriteResult PendingFile::PlaceAsNew(const std::string& stem, std::string_view extension) {
    std::string target = NumberedName(directory_, stem, extension, 1);
    std::error_code error = Finish();
    for (int number = 2; !error; ++number) {
        error = PlaceNoReplace(target);
        if (error != std::errc::file_exists || number > kMaxNumberedNames) break;
        target = NumberedName(directory_, stem, extension, number);
        error.clear();
    }
    // Placed: the temporary's name, if it had one, is gone.
    if (!error) temporary_.clear();
    Discard();
    return {std::move(target), error};
}

std::optional<WriteResult> WriteNewFile(FileSystem& files, const std::string& directory,
                                        const std::string& stem, std::string_view extension,
                                        const std::function<bool(PendingFile& file)>& fill) {
    PendingFile file(files, directory);
    if (const std::error_code error = file.Create()) {
        return WriteResult{NumberedName(directory, stem, extension, 1), error};
    }
    if (!fill(file)) return std::nullopt;
    return file.PlaceAsNew(stem, extension);
}

WriteResult WriteNewFile(FileSystem& files, const std::string& directory, const std::string& stem,
                         std::string_view extension,
                         std::initializer_list<std::string_view> pieces) {
    return *WriteNewFile(files, directory, stem, extension, [pieces](PendingFile& file) {
        for (const std::string_view bytes : pieces) file.Write(bytes);
        return true;
    });
}

}  // namespace lintaro
