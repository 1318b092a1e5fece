// Buffered writing into a PendingFile.
#include "cli/pending_file_buffer.h"

namespace lintaro {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

}  // namespace

PendingFileBuffer::PendingFileBuffer(PendingFile& file) : file_(file), buffer_(kBufferBytes) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool PendingFileBuffer::Drain() {
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return file_.Write(pending) == 0;
}

PendingFileBuffer::int_type PendingFileBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize PendingFileBuffer::xsputn(const char* data, std::streamsize count) {
    // Large pieces go straight to the file instead of through the buffer.
    if (static_cast<std::size_t>(count) >= buffer_.size()) {
        if (!Drain() || file_.Write({data, static_cast<std::size_t>(count)}) != 0) return 0;
        return count;
    }
    return std::streambuf::xsputn(data, count);
}

int PendingFileBuffer::sync() {
    return Drain() ? 0 : -1;
}

}  // namespace lintaro
