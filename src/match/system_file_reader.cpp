// Reading the subject file through POSIX calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "match/file_reader.h"

namespace lintaro {

namespace {

// Linux moves at most this much in one read call.
constexpr std::int64_t kLargestRead = 0x7FFFF000;

class SystemOpenedFile : public OpenedFile {
  public:
    explicit SystemOpenedFile(int descriptor) : descriptor_(descriptor) {}
    ~SystemOpenedFile() override { close(descriptor_); }
    SystemOpenedFile(const SystemOpenedFile&) = delete;
    SystemOpenedFile& operator=(const SystemOpenedFile&) = delete;

    std::int64_t Size() const override { return size_; }
    void SetSize(std::int64_t size) { size_ = size; }

    ReadResult Read(char* buffer, std::int64_t size) override {
        while (true) {
            const ssize_t count =
                read(descriptor_, buffer, static_cast<std::size_t>(std::min(size, kLargestRead)));
            if (count >= 0) return {count, {}};
            if (errno != EINTR) return {0, std::strerror(errno)};
        }
    }

  private:
    int descriptor_;
    std::int64_t size_ = 0;
};

class SystemFileReaderImpl : public FileReader {
  public:
    OpenResult Open(const std::string& path) const override {
        // O_NONBLOCK: opening a FIFO without a writer must not wait; the file type is checked
        // right after, before anything is read.
        const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) {
            const int error = errno;
            return {nullptr, error == ENOENT, std::strerror(error)};
        }
        auto file = std::make_unique<SystemOpenedFile>(descriptor);  // closes it from here on
        struct stat status {};
        if (fstat(descriptor, &status) != 0) return {nullptr, false, std::strerror(errno)};
        if (S_ISDIR(status.st_mode)) return {nullptr, false, std::strerror(EISDIR)};
        if (!S_ISREG(status.st_mode)) return {nullptr, false, "not a regular file"};
        file->SetSize(status.st_size);
        return {std::move(file), false, {}};
    }
};

}  // namespace

const FileReader& SystemFileReader() {
    static const SystemFileReaderImpl reader;
    return reader;
}

}  // namespace lintaro
