// The batch program's file system: the system's, where the name "-" is standard input.
#pragma once

#include <cstdint>
#include <string>

#include "base/file_system.h"

namespace lintaro {

// The name that stands for standard input on the command line.
inline constexpr const char* kStandardInputName = "-";

// Opens "-" as standard input: a pipe, a terminal or a redirected file, read from where it
// stands to its end. Every other name, and every other call, is the system's.
class StandardInputFiles : public PosixFileSystem {
  public:
    // A length for a regular file (what is left of it after its current offset), else 0, so
    // that the read grows its buffer until the end arrives.
    std::error_code OpenForReading(const std::string& path, int& fd, std::int64_t& size) override;
};

}  // namespace lintaro
