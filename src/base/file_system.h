// The file-system calls that reading the subject file and writing output files make, behind
// one seam so that tests can make any step fail the way the system would.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "base/error.h"
#include "base/file_mapping.h"

namespace lintaro {

// What a path names, after symbolic links are followed.
enum class PathKind { kNothing, kRegularFile, kDirectory, kOther /* a device, FIFO or socket */ };

// What replacing a file keeps of it.
struct FileStatus {
    unsigned mode = 0;  // the permission bits, with set-user-ID, set-group-ID and sticky
    unsigned owner = 0;
    unsigned group = 0;
    std::uint64_t links = 1;  // how many names the file has
    bool regular_file = true;
};

// Each call returns the error of its failure, or none (see base/error.h).
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens path for reading and gives its length at that moment, without waiting for data.
    // A FIFO or a character device opens as a stream of length 0 that is read to its end (a
    // FIFO without a writer ends at once); a directory (EISDIR), a device that never ends
    // such as /dev/zero (kEndlessDevice) and a block device (kNotRegularFile) are refused.
    virtual std::error_code OpenForReading(const std::string& path, int& fd,
                                           std::int64_t& size) = 0;
    // Reads up to size bytes into buffer; count is 0 at the end of the file. A stream that
    // has nothing yet gives EAGAIN after waiting a moment, so that the reader can stop.
    virtual std::error_code Read(int fd, char* buffer, std::int64_t size, std::int64_t& count) = 0;
    // The length of the open file now.
    virtual std::error_code CurrentSize(int fd, std::int64_t& size) = 0;
    // Maps the first size bytes of the file open for reading as fd (see FileMapping). A file
    // system that cannot (ENODEV here, as for the fakes of the tests) has its files read.
    virtual std::error_code MapForReading(int /*fd*/, std::int64_t /*size*/,
                                          FileMapping& /*mapping*/) {
        return SystemError(ENODEV);
    }
    virtual void Close(int fd) = 0;

    // What path names now. The fakes of the tests name nothing by default.
    virtual PathKind KindOf(const std::string& /*path*/) { return PathKind::kNothing; }
    // The name path leads to once its symbolic links are followed: path itself when it is not
    // a link (or by default), the name a dangling link points to, ELOOP for a loop.
    virtual std::error_code ResolvePath(const std::string& path, std::string& resolved) {
        resolved = path;
        return {};
    }
    // The descriptor of this process that path stands for (/dev/stdout, /dev/fd/N,
    // /proc/self/fd/N, or a link to one of them), else -1 (and by default).
    virtual int DescriptorNamed(const std::string& /*path*/) { return -1; }
    // The status of the file path names, without following a last symbolic link.
    virtual std::error_code StatusOf(const std::string& /*path*/, FileStatus& /*status*/) {
        return SystemError(ENOENT);
    }
    // Gives the file open as fd the owner, group and mode of status.
    virtual std::error_code SetStatus(int /*fd*/, const FileStatus& /*status*/) { return {}; }
    // Opens what path names for writing as it is, neither creating nor truncating it: for a
    // device or a FIFO, which a new file must not replace. Waits for a reader of a FIFO.
    virtual std::error_code OpenExistingForWriting(const std::string& /*path*/, int& /*fd*/) {
        return SystemError(ENOENT);
    }

    // Creates path for writing; EEXIST when something of that name exists.
    virtual std::error_code CreateNew(const std::string& path, int& fd) = 0;
    // Creates a file without a name in directory ("" or ending with "/"), for writing: it
    // goes away with its descriptor unless LinkUnnamed names it first. EOPNOTSUPP, EISDIR or
    // EINVAL where the file system or the kernel cannot make such files.
    virtual std::error_code CreateUnnamed(const std::string& directory, int& fd) = 0;
    // Gives the unnamed file open as fd the name path; EEXIST when path exists.
    virtual std::error_code LinkUnnamed(int fd, const std::string& path) = 0;
    // Writes all of bytes.
    virtual std::error_code WriteAll(int fd, std::string_view bytes) = 0;
    // Starts writing the length bytes at offset of the file to storage without waiting, so
    // that a later Sync has less left to wait for. A hint only: what it cannot do, Sync does.
    virtual void StartWriteback(int fd, std::int64_t offset, std::int64_t length) = 0;
    // Flushes the file to storage and closes it; fd is closed even when this fails.
    virtual std::error_code SyncAndClose(int fd) = 0;
    // Flushes the file to storage and keeps it open.
    virtual std::error_code Sync(int fd) = 0;
    // Renames from to `to`, replacing a file of that name.
    virtual std::error_code Rename(const std::string& from, const std::string& to) = 0;
    // Renames from to `to` unless `to` exists (EEXIST). EINVAL, ENOSYS or EOPNOTSUPP where
    // the file system cannot rename that way.
    virtual std::error_code RenameNoReplace(const std::string& from, const std::string& to) = 0;
    // Gives the file `from` the second name `to`; EEXIST when `to` exists.
    virtual std::error_code Link(const std::string& from, const std::string& to) = 0;
    virtual std::error_code Remove(const std::string& path) = 0;
};

// The real calls of this system.
class PosixFileSystem : public FileSystem {
  public:
    std::error_code OpenForReading(const std::string& path, int& fd, std::int64_t& size) override;
    std::error_code Read(int fd, char* buffer, std::int64_t size, std::int64_t& count) override;
    std::error_code CurrentSize(int fd, std::int64_t& size) override;
    std::error_code MapForReading(int fd, std::int64_t size, FileMapping& mapping) override;
    void Close(int fd) override;
    PathKind KindOf(const std::string& path) override;
    std::error_code ResolvePath(const std::string& path, std::string& resolved) override;
    int DescriptorNamed(const std::string& path) override;
    std::error_code StatusOf(const std::string& path, FileStatus& status) override;
    std::error_code SetStatus(int fd, const FileStatus& status) override;
    std::error_code OpenExistingForWriting(const std::string& path, int& fd) override;
    std::error_code CreateNew(const std::string& path, int& fd) override;
    std::error_code CreateUnnamed(const std::string& directory, int& fd) override;
    std::error_code LinkUnnamed(int fd, const std::string& path) override;
    std::error_code WriteAll(int fd, std::string_view bytes) override;
    void StartWriteback(int fd, std::int64_t offset, std::int64_t length) override;
    std::error_code SyncAndClose(int fd) override;
    std::error_code Sync(int fd) override;
    std::error_code Rename(const std::string& from, const std::string& to) override;
    std::error_code RenameNoReplace(const std::string& from, const std::string& to) override;
    std::error_code Link(const std::string& from, const std::string& to) override;
    std::error_code Remove(const std::string& path) override;
};

// The process's real file system.
FileSystem& SystemFiles();

}  // namespace lintaro
