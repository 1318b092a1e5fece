// The file-system calls that writing an export file makes, behind a seam for tests.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// Each call returns 0 or the errno value of its failure, so that a test can make any step
// fail the way the system would.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Creates path for writing; EEXIST when something of that name exists.
    virtual int CreateNew(const std::string& path, int& fd) = 0;
    // Writes all of bytes.
    virtual int WriteAll(int fd, std::string_view bytes) = 0;
    // Flushes the file to storage and closes it; fd is closed even when this fails.
    virtual int SyncAndClose(int fd) = 0;
    // Renames from to `to` unless `to` exists (EEXIST). EINVAL, ENOSYS or EOPNOTSUPP where
    // the file system cannot rename that way.
    virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
    // Gives the file `from` the second name `to`; EEXIST when `to` exists.
    virtual int Link(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
};

// The real calls of this system.
class PosixFileSystem : public FileSystem {
  public:
    int CreateNew(const std::string& path, int& fd) override;
    int WriteAll(int fd, std::string_view bytes) override;
    int SyncAndClose(int fd) override;
    int RenameNoReplace(const std::string& from, const std::string& to) override;
    int Link(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
};

}  // namespace lintaro
