// A stream buffer that hands the batch program's output to a writing function a block at a
// time and keeps the first error, so that a failed write can be reported with its reason.
#pragma once

#include <functional>
#include <streambuf>
#include <string_view>
#include <system_error>
#include <vector>

namespace lintaro {

class OutputBuffer : public std::streambuf {
  public:
    // write takes bytes and gives the error of its failure, if any.
    using WriteFunction = std::function<std::error_code(std::string_view bytes)>;

    explicit OutputBuffer(WriteFunction write);
    ~OutputBuffer() override = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // The error of the first write that failed, if any; nothing is written after it.
    std::error_code Error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

  private:
    bool Drain();
    bool Write(std::string_view bytes);

    WriteFunction write_;
    std::vector<char> buffer_;
    std::error_code error_;
};

}  // namespace lintaro
