// The file-system calls through POSIX.
#include "base/file_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "base/error.h"
#include "base/symbolic_link_chain.h"

namespace lintaro {

namespace {

// Linux moves at most this much in one read call.
constexpr std::int64_t kLargestRead = 0x7FFFF000;
// The kernel's memory character devices: /dev/zero, /dev/full, /dev/random, /dev/urandom,
// /dev/mem and the like give bytes for ever. Only /dev/null among them ends.
constexpr unsigned kMemoryDevices = 1;
constexpr unsigned kNullDevice = 3;
// How long one read of a stream waits for data before the reader may check for a cancel.
constexpr int kStreamWaitMilliseconds = 100;

// The error of a call that returned result: none unless it is negative.
std::error_code ResultOf(int result) {
    return result < 0 ? LastSystemError() : std::error_code();
}

}  // namespace

std::error_code PosixFileSystem::OpenForReading(const std::string& path, int& fd,
                                                std::int64_t& size) {
    // O_NONBLOCK: opening a FIFO without a writer must not wait, and reading one that has
    // nothing yet must come back so that a cancelled run can stop (see Read).
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return LastSystemError();
    struct stat status {};
    std::error_code error;
    if (::fstat(fd, &status) != 0) {
        error = LastSystemError();
    } else if (S_ISDIR(status.st_mode)) {
        error = SystemError(EISDIR);
    } else if (S_ISCHR(status.st_mode) && major(status.st_rdev) == kMemoryDevices &&
               minor(status.st_rdev) != kNullDevice) {
        error = LintaroError::kEndlessDevice;
    } else if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode) && !S_ISCHR(status.st_mode)) {
        error = LintaroError::kNotRegularFile;
    }
    if (error) {
        ::close(fd);
        fd = -1;
        return error;
    }
    // A FIFO or a terminal has no length: it is read as a stream until its writer ends it.
    size = S_ISREG(status.st_mode) ? status.st_size : 0;
    return {};
}

std::error_code PosixFileSystem::Read(int fd, char* buffer, std::int64_t size,
                                      std::int64_t& count) {
    bool waited = false;
    while (true) {
        const ssize_t got =
            ::read(fd, buffer, static_cast<std::size_t>(std::min(size, kLargestRead)));
        if (got >= 0) {
            count = got;
            return {};
        }
        count = 0;
        if (errno == EAGAIN && !waited) {
            // A stream with nothing yet: waits a moment for it, then lets the caller decide
            // whether to ask again.
            pollfd input{fd, POLLIN, 0};
            ::poll(&input, 1, kStreamWaitMilliseconds);
            waited = true;
            continue;
        }
        if (errno != EINTR) return LastSystemError();
    }
}

std::error_code PosixFileSystem::CurrentSize(int fd, std::int64_t& size) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return LastSystemError();
    size = status.st_size;
    return {};
}

std::error_code PosixFileSystem::MapForReading(int fd, std::int64_t size, FileMapping& mapping) {
    if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) return SystemError(EINVAL);
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

std::error_code PosixFileSystem::ResolvePath(const std::string& path, std::string& resolved) {
    return FollowSymbolicLinks(
        path, [](const std::string&) { return false; }, resolved);
}

int PosixFileSystem::DescriptorNamed(const std::string& path) {
    std::string last;
    if (FollowSymbolicLinks(
            path, [](const std::string& name) { return DescriptorNamedBy(name) >= 0; }, last))
        return -1;
    return DescriptorNamedBy(last);
}

std::error_code PosixFileSystem::StatusOf(const std::string& path, FileStatus& status) {
    struct stat found {};
    if (::lstat(path.c_str(), &found) != 0) return LastSystemError();
    status = {found.st_mode & 07777U, found.st_uid, found.st_gid, found.st_nlink,
              S_ISREG(found.st_mode)};
    return {};
}

std::error_code PosixFileSystem::SetStatus(int fd, const FileStatus& status) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return LastSystemError();
    // Only what differs is changed: giving a file away needs a privilege that keeping it does
    // not. The mode comes last, since a change of owner clears the set-user-ID bit.
    if ((now.st_uid != status.owner || now.st_gid != status.group) &&
        ::fchown(fd, status.owner, status.group) != 0)
        return LastSystemError();
    return ResultOf(::fchmod(fd, status.mode));
}

std::error_code PosixFileSystem::OpenExistingForWriting(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return ResultOf(fd);
}

std::error_code PosixFileSystem::CreateNew(const std::string& path, int& fd) {
    // 0666 so that the umask decides, as for any file a program creates.
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return ResultOf(fd);
}

std::error_code PosixFileSystem::CreateUnnamed(const std::string& directory, int& fd) {
    fd =
        ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    return ResultOf(fd);
}

std::error_code PosixFileSystem::LinkUnnamed(int fd, const std::string& path) {
    // Through /proc any process may name its unnamed file; AT_EMPTY_PATH works without /proc
    // but needs a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
    const std::error_code error = LastSystemError();
    if (error != std::errc::no_such_file_or_directory) return error;
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? std::error_code() : error;
}

std::error_code PosixFileSystem::WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastSystemError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

void PosixFileSystem::StartWriteback(int fd, std::int64_t offset, std::int64_t length) {
    // Only queues the pages for writing; errors of the writing itself show in fsync.
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
}

std::error_code PosixFileSystem::SyncAndClose(int fd) {
    const std::error_code sync_error = PosixFileSystem::Sync(fd);
    const std::error_code close_error = ResultOf(::close(fd));
    return sync_error ? sync_error : close_error;
}

std::error_code PosixFileSystem::Sync(int fd) {
    // EINVAL: this kind of file cannot be synced; what was written is still there.
    if (::fsync(fd) == 0 || errno == EINVAL) return {};
    return LastSystemError();
}

std::error_code PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return ResultOf(std::rename(from.c_str(), to.c_str()));
}

std::error_code PosixFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
    return ResultOf(::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
}

std::error_code PosixFileSystem::Link(const std::string& from, const std::string& to) {
    return ResultOf(::link(from.c_str(), to.c_str()));
}

std::error_code PosixFileSystem::Remove(const std::string& path) {
    return ResultOf(::unlink(path.c_str()));
}

FileSystem& SystemFiles() {
    static PosixFileSystem files;
    return files;
}

}  // namespace lintaro
