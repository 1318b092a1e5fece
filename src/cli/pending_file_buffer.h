// A stream buffer that writes into a PendingFile, so that the batch program's output file is
// written whole or not at all.
#pragma once

#include <streambuf>
#include <vector>

#include "export/export_file_writer.h"

namespace lintaro {

class PendingFileBuffer : public std::streambuf {
  public:
    explicit PendingFileBuffer(PendingFile& file);
    ~PendingFileBuffer() override = default;
    PendingFileBuffer(const PendingFileBuffer&) = delete;
    PendingFileBuffer& operator=(const PendingFileBuffer&) = delete;

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

  private:
    bool Drain();

    PendingFile& file_;
    std::vector<char> buffer_;
};

}  // namespace lintaro
