// The file-system calls through POSIX.
#include "base/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/system_error.h"

namespace lintaro {

namespace {

// Linux moves at most this much in one read call.
constexpr std::int64_t kLargestRead = 0x7FFFF000;

}  // namespace

int PosixFileSystem::OpenForReading(const std::string& path, int& fd, std::int64_t& size) {
    // O_NONBLOCK: opening a FIFO without a writer must not wait; the file type is checked
    // right after, before anything is read.
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(status.st_mode)) {
        error = kErrorNotRegularFile;
    }
    if (error != 0) {
        ::close(fd);
        fd = -1;
        return error;
    }
    size = status.st_size;
    return 0;
}

int PosixFileSystem::Read(int fd, char* buffer, std::int64_t size, std::int64_t& count) {
    while (true) {
        const ssize_t got =
            ::read(fd, buffer, static_cast<std::size_t>(std::min(size, kLargestRead)));
        if (got >= 0) {
            count = got;
            return 0;
        }
        if (errno != EINTR) {
            count = 0;
            return errno;
        }
    }
}

int PosixFileSystem::CurrentSize(int fd, std::int64_t& size) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return errno;
    size = status.st_size;
    return 0;
}

int PosixFileSystem::MapForReading(int fd, std::int64_t size, FileMapping& mapping) {
    if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) return EINVAL;
    return FileMapping::Map(fd, static_cast<std::size_t>(size), mapping);
}

void PosixFileSystem::Close(int fd) {
    ::close(fd);
}

PathKind PosixFileSystem::KindOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return PathKind::kNothing;
    if (S_ISREG(status.st_mode)) return PathKind::kRegularFile;
    return S_ISDIR(status.st_mode) ? PathKind::kDirectory : PathKind::kOther;
}

std::string PosixFileSystem::ResolvedPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

int PosixFileSystem::OpenExistingForWriting(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return fd < 0 ? errno : 0;
}

int PosixFileSystem::CreateNew(const std::string& path, int& fd) {
    // 0666 so that the umask decides, as for any file a program creates.
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
}

int PosixFileSystem::CreateUnnamed(const std::string& directory, int& fd) {
    fd =
        ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
}

int PosixFileSystem::LinkUnnamed(int fd, const std::string& path) {
    // Through /proc any process may name its unnamed file; AT_EMPTY_PATH works without /proc
    // but needs a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    const int error = errno;
    if (error != ENOENT) return error;
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : error;
}

int PosixFileSystem::WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

void PosixFileSystem::StartWriteback(int fd, std::int64_t offset, std::int64_t length) {
    // Only queues the pages for writing; errors of the writing itself show in fsync.
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
}

int PosixFileSystem::SyncAndClose(int fd) {
    const int sync_error = PosixFileSystem::Sync(fd);
    const int close_error = ::close(fd) == 0 ? 0 : errno;
    return sync_error != 0 ? sync_error : close_error;
}

int PosixFileSystem::Sync(int fd) {
    // EINVAL: this kind of file cannot be synced; what was written is still there.
    if (::fsync(fd) == 0 || errno == EINVAL) return 0;
    return errno;
}

int PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                            : errno;
}

int PosixFileSystem::Link(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

FileSystem& SystemFiles() {
    static PosixFileSystem files;
    return files;
}

}  // namespace lintaro
