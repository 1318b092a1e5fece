// The batch program's file system: the system's, where the name "-" is standard input.
#pragma once

#include <cstdint>
#include <string>

#include "base/file_system.h"

namespace lintaro {

// The name that stands for standard input on the command line.
inline constexpr const char* kStandardInputName = "-";

// Opens "-" as standard input: a pipe, a terminal or a redirected file, read from where it
// stands to its end, as cat reads it, so that a second "-" finds the rest (nothing). Every
// other name, and every other call, is the system's.
class StandardInputFiles : public PosixFileSystem {
  public:
    // A length for a regular file (what is left of it after its current offset), else 0, so
    // that the read grows its buffer until the end arrives.
    std::error_code OpenForReading(const std::string& path, int& fd, std::int64_t& size) override;
    // Standard input is read, never mapped: a mapping would start at the file's first byte
    // wherever standard input stands, and would leave it standing there.
    std::error_code MapForReading(int fd, std::int64_t size, FileMapping& mapping) override;
    void Close(int fd) override;

  private:
    int standard_input_ = -1;  // the copy of standard input open now, if any
};

}  // namespace lintaro
