// Where the batch program writes: standard output or another descriptor already open, or a
// file that takes its name only once every byte of it is written.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "base/file_system.h"
#include "base/unique_fd.h"
#include "cli/output_buffer.h"
#include "export/export_file_writer.h"

namespace lintaro {

class OutputDestination {
  public:
    // path empty: standard output. Nothing is opened yet.
    OutputDestination(FileSystem& files, std::string path);
    ~OutputDestination();
    OutputDestination(const OutputDestination&) = delete;
    OutputDestination& operator=(const OutputDestination&) = delete;

    // Opens the destination on first use, then gives its stream; no value when the file
    // cannot be created (Error says why).
    std::ostream* Stream();
    // Flushes what is buffered and gives the file its name; a destination never opened stays
    // unopened, so an old file of that name stays as it was. The first error, if any.
    std::error_code Finish();
    // The first error of creating or writing the destination, if any.
    std::error_code Error() const;
    // "standard output", or the file's path, for messages.
    std::string Name() const;

  private:
    FileSystem& files_;
    std::string path_;
    std::string target_;  // the file path leads to, which the output replaces
    std::optional<PendingFile> file_;
    UniqueFd device_;  // the device or FIFO path names, written into as it is
    std::unique_ptr<OutputBuffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
    std::error_code error_;
};

}  // namespace lintaro
