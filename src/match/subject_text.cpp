// Reading the subject file: the text a match run searches.
#include "match/subject_text.h"

#include <cerrno>
#include <exception>
#include <utility>

#include "base/huge_pages.h"
#include "base/program_text.h"
#include "base/system_error.h"

namespace lintaro {

namespace {

// Closes a descriptor of the file system when the read is over, however it ends.
class OpenDescriptor {
  public:
    OpenDescriptor(FileSystem& files, int fd) : files_(files), fd_(fd) {}
    ~OpenDescriptor() { files_.Close(fd_); }
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;

  private:
    FileSystem& files_;
    int fd_;
};

}  // namespace

SubjectBytes ReadSubjectBytes(const std::string& path, FileSystem& files,
                              const std::string& charset) {
    if (path.empty()) return {{}, kErrorNoFileNamed};
    int fd = -1;
    std::int64_t size = 0;
    if (const int error = files.OpenForReading(path, fd, size); error != 0) {
        if (error == ENOENT && path == Utf8ToCharset(kNoFileCaption, charset)) return {};
        return {{}, error};
    }
    const OpenDescriptor open_file(files, fd);

    SubjectBytes read;
    std::string& bytes = read.bytes;
    try {
        // Advised before the first touch: filling ordinary fresh pages costs more than the read.
        bytes.reserve(static_cast<std::size_t>(size));
        AdviseHugePages(bytes.data(), bytes.capacity());
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        return {{}, ENOMEM};
    }
    std::size_t arrived = 0;
    while (arrived < bytes.size()) {
        std::int64_t count = 0;
        const int error = files.Read(fd, bytes.data() + arrived,
                                     static_cast<std::int64_t>(bytes.size() - arrived), count);
        // What arrived before a failure is still searched.
        if (error != 0) read.error = error;
        if (count <= 0) break;
        arrived += static_cast<std::size_t>(count);
    }
    bytes.resize(arrived);
    return read;
}

SubjectText DecodeSubject(SubjectBytes bytes, const std::string& charset) {
    DecodedSubject decoded = DecodeSubjectBytes(std::move(bytes.bytes), charset);
    return {std::move(decoded.text), bytes.error, decoded.cut, decoded.cut_offset};
}

}  // namespace lintaro
