// The batch program's file system: the system's, where the name "-" is standard input.
#include "cli/standard_input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace lintaro {

std::error_code StandardInputFiles::OpenForReading(const std::string& path, int& fd,
                                                   std::int64_t& size) {
    if (path != kStandardInputName) return PosixFileSystem::OpenForReading(path, fd, size);
    // A copy of the descriptor, so that closing it after the read leaves standard input open.
    fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return LastSystemError();
    standard_input_ = fd;
    size = 0;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        const off_t offset = ::lseek(fd, 0, SEEK_CUR);
        if (offset >= 0) size = std::max<std::int64_t>(status.st_size - offset, 0);
    }
    return {};
}

std::error_code StandardInputFiles::MapForReading(int fd, std::int64_t size, FileMapping& mapping) {
    if (fd == standard_input_) return SystemError(ENODEV);
    return PosixFileSystem::MapForReading(fd, size, mapping);
}

void StandardInputFiles::Close(int fd) {
    if (fd == standard_input_) standard_input_ = -1;
    PosixFileSystem::Close(fd);
}

}  // namespace lintaro
