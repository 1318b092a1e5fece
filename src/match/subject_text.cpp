// Reading the subject file: the text a match run searches.
#include "match/subject_text.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <utility>

#include "base/error.h"
#include "base/huge_pages.h"
#include "base/program_text.h"
#include "base/unique_fd.h"
#include "match/charset_decoder.h"

namespace lintaro {

namespace {

constexpr std::size_t kFirstBufferBytes = std::size_t{64} * 1024;
constexpr std::size_t kProbeBytes = 4096;
// Below this, reading a file costs less than mapping it and unmapping it again.
constexpr std::int64_t kSmallestMappedFile = std::int64_t{256} * 1024;

}  // namespace

SubjectBytes ReadSubjectBytes(const std::string& path, FileSystem& files,
                              const std::string& charset, const WorkProgress* progress,
                              SubjectReading reading) {
    if (path.empty()) return {{}, LintaroError::kNoFileNamed};
    int fd = -1;
    std::int64_t size = 0;
    if (const std::error_code error = files.OpenForReading(path, fd, size)) {
        if (error == std::errc::no_such_file_or_directory &&
            path == Utf8ToCharset(kNoFileCaption, charset))
            return {};
        return {{}, error};
    }
    const UniqueFd open_file(fd, files);  // closed when the read is over, however it ends

    SubjectBytes read;
    if (reading == SubjectReading::kMap && size >= kSmallestMappedFile) {
        FileMapping mapping;
        if (!files.MapForReading(fd, size, mapping)) {
            read.bytes = TextBuffer(std::move(mapping));
            return read;
        }
    }
    std::string bytes;
    // A file of the length it reports is read into one buffer of that length, advised before
    // the first touch: filling ordinary fresh pages costs more than the read. Files that
    // report no length (/proc and the like) start from a small buffer that grows. Running
    // out of memory here is the run's to report (std::bad_alloc).
    if (static_cast<std::uint64_t>(size) > bytes.max_size()) throw std::bad_alloc();
    const auto expected = static_cast<std::size_t>(size);
    bytes.reserve(expected > 0 ? expected : kFirstBufferBytes);
    AdviseHugePages(bytes.data(), bytes.capacity());
    bytes.resize(bytes.capacity());
    std::size_t arrived = 0;
    while (progress == nullptr || !progress->CancelRequested()) {
        if (arrived == bytes.size()) {
            // The buffer is full: only a read past it tells whether the file ends here.
            char probe[kProbeBytes];
            std::int64_t count = 0;
            const std::error_code error = files.Read(fd, probe, sizeof probe, count);
            if (error == std::errc::resource_unavailable_try_again) continue;
            if (error) read.error = error;
            if (count <= 0) break;
            bytes.resize(std::max(bytes.size() * 2, kFirstBufferBytes));
            std::copy_n(probe, count, bytes.data() + arrived);
            arrived += static_cast<std::size_t>(count);
            continue;
        }
        std::int64_t count = 0;
        const std::error_code error = files.Read(
            fd, bytes.data() + arrived,
            std::min(static_cast<std::int64_t>(bytes.size() - arrived), kReadPieceBytes), count);
        // A stream with nothing yet is asked again unless the run was cancelled meanwhile.
        if (error == std::errc::resource_unavailable_try_again) continue;
        // What arrived before a failure is still searched.
        if (error) read.error = error;
        if (count <= 0) break;
        arrived += static_cast<std::size_t>(count);
    }
    bytes.resize(arrived);
    read.bytes = TextBuffer(std::move(bytes));
    // Files under /sys report a page and hold less: only a file that is now shorter than it
    // was shrank while it was read.
    std::int64_t now = size;
    read.shrank = !read.error && arrived < expected && !files.CurrentSize(fd, now) && now < size;
    return read;
}

SubjectText DecodeSubject(SubjectBytes bytes, const std::string& charset,
                          const std::string& file_charset) {
    DecodedSubject decoded = file_charset.empty() || IsUtf8Charset(file_charset)
                                 ? DecodeSubjectBytes(std::move(bytes.bytes), charset)
                                 : DecodeCharsetBytes(bytes.bytes.View(), file_charset, charset);
    return {std::move(decoded.text), bytes.error,     bytes.shrank, decoded.cut,
            decoded.cut_offset,      decoded.replaced};
}

}  // namespace lintaro
