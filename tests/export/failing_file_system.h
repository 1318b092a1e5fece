// A file system for tests that fails chosen calls the way the system would.
#pragma once

#include <cerrno>

#include "base/file_system.h"

namespace lintaro {

class FailingFileSystem : public PosixFileSystem {
  public:
    enum class Call {
        kNone,
        kCreateNew,
        kCreateUnnamed,
        kLinkUnnamed,
        kWriteAll,
        kSyncAndClose,
        kSync,
        kRename,
        kRenameNoReplace,
        kLink,
        kSetStatus,
    };

    // call fails with error (an errno value); with rename_unsupported, every RenameNoReplace fails
    // with EINVAL as on file systems that cannot rename without replacing; with
    // unnamed_unsupported, every CreateUnnamed fails with EOPNOTSUPP as on file systems without
    // unnamed files.
    FailingFileSystem(Call call, int error, bool rename_unsupported = false,
                      bool unnamed_unsupported = false)
        : call_(call),
          error_(SystemError(error)),
          rename_unsupported_(rename_unsupported),
          unnamed_unsupported_(unnamed_unsupported) {}

    std::error_code CreateNew(const std::string& path, int& fd) override {
        return call_ == Call::kCreateNew ? error_ : PosixFileSystem::CreateNew(path, fd);
    }
    std::error_code CreateUnnamed(const std::string& directory, int& fd) override {
        if (unnamed_unsupported_) return SystemError(EOPNOTSUPP);
        return call_ == Call::kCreateUnnamed ? error_
                                             : PosixFileSystem::CreateUnnamed(directory, fd);
    }
    std::error_code LinkUnnamed(int fd, const std::string& path) override {
        return call_ == Call::kLinkUnnamed ? error_ : PosixFileSystem::LinkUnnamed(fd, path);
    }
    std::error_code Sync(int fd) override {
        const std::error_code error = PosixFileSystem::Sync(fd);
        return call_ == Call::kSync ? error_ : error;
    }
    std::error_code WriteAll(int fd, std::string_view bytes) override {
        if (call_ != Call::kWriteAll) return PosixFileSystem::WriteAll(fd, bytes);
        PosixFileSystem::WriteAll(fd, bytes.substr(0, bytes.size() / 2));  // a partial write
        return error_;
    }
    std::error_code SyncAndClose(int fd) override {
        const std::error_code error = PosixFileSystem::SyncAndClose(fd);
        return call_ == Call::kSyncAndClose ? error_ : error;
    }
    std::error_code Rename(const std::string& from, const std::string& to) override {
        return call_ == Call::kRename ? error_ : PosixFileSystem::Rename(from, to);
    }
    std::error_code RenameNoReplace(const std::string& from, const std::string& to) override {
        if (rename_unsupported_) return SystemError(EINVAL);
        return call_ == Call::kRenameNoReplace ? error_
                                               : PosixFileSystem::RenameNoReplace(from, to);
    }
    std::error_code Link(const std::string& from, const std::string& to) override {
        return call_ == Call::kLink ? error_ : PosixFileSystem::Link(from, to);
    }
    std::error_code SetStatus(int fd, const FileStatus& status) override {
        return call_ == Call::kSetStatus ? error_ : PosixFileSystem::SetStatus(fd, status);
    }

  private:
    Call call_;
    std::error_code error_;
    bool rename_unsupported_;
    bool unnamed_unsupported_;
};

}  // namespace lintaro
