// Buffered writing through a writing function that reports its errors.
#include "cli/output_buffer.h"

#include <utility>

namespace lintaro {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

}  // namespace

OutputBuffer::OutputBuffer(WriteFunction write) : write_(std::move(write)) {}

bool OutputBuffer::Write(std::string_view bytes) {
    if (!error_ && !bytes.empty()) error_ = write_(bytes);
    return !error_;
}

bool OutputBuffer::Drain() {
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    const bool written = Write(pending);
    // The buffer is taken only once something is written, so that a run that ends before any
    // output (or runs out of memory first) never holds it.
    if (buffer_.empty()) buffer_.resize(kBufferBytes);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return written;
}

OutputBuffer::int_type OutputBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize OutputBuffer::xsputn(const char* data, std::streamsize count) {
    // Large pieces go straight to the writer instead of through the buffer.
    if (static_cast<std::size_t>(count) >= kBufferBytes) {
        if (!Drain() || !Write({data, static_cast<std::size_t>(count)})) return 0;
        return count;
    }
    return std::streambuf::xsputn(data, count);
}

int OutputBuffer::sync() {
    return Drain() ? 0 : -1;
}

}  // namespace lintaro
