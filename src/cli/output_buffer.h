// A stream buffer that hands the batch program's output to a writing function a block at a
// time and keeps the first error, so that a failed write can be reported with its reason.
#pragma once

#include <functional>
#include <streambuf>
#include <string_view>
#include <vector>

namespace lintaro {

class OutputBuffer : public std::streambuf {
  public:
    // write takes bytes and gives 0 or the error of its failure (an errno value).
    using WriteFunction = std::function<int(std::string_view bytes)>;

    explicit OutputBuffer(WriteFunction write);
    ~OutputBuffer() override = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // 0, or the error of the first write that failed; nothing is written after it.
    int Error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

  private:
    bool Drain();
    bool Write(std::string_view bytes);

    WriteFunction write_;
    std::vector<char> buffer_;
    int error_ = 0;
};

}  // namespace lintaro
