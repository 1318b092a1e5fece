// POSIX implementation of the export's file-system calls.
#include "export/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace lintaro {

int PosixFileSystem::CreateNew(const std::string& path, int& fd) {
    // 0666 so that the umask decides, as for any file a program creates.
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
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

int PosixFileSystem::SyncAndClose(int fd) {
    const int sync_error = ::fsync(fd) == 0 ? 0 : errno;
    const int close_error = ::close(fd) == 0 ? 0 : errno;
    // EINVAL: this kind of file cannot be synced; what was written is still there.
    if (sync_error != 0 && sync_error != EINVAL) return sync_error;
    return close_error;
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

}  // namespace lintaro
