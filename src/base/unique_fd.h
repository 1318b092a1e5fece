// The one owner of an open file descriptor: closed when the owner goes.
#pragma once

#include <utility>

#include "base/file_system.h"

namespace lintaro {

// Closes its descriptor through the file system that opened it (the system's by default, so
// a plain POSIX descriptor such as a pipe's end is closed with close).
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd, FileSystem& files = SystemFiles()) : files_(&files), fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : files_(other.files_), fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            files_ = other.files_;
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes the descriptor now, if one is open.
    void Reset() {
        if (fd_ >= 0) files_->Close(fd_);
        fd_ = -1;
    }

  private:
    FileSystem* files_ = nullptr;  // not owned
    int fd_ = -1;
};

}  // namespace lintaro
