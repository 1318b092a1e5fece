// The file-system calls that reading the subject file makes, behind an interface so that
// failures and short reads can be tested.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lintaro {

// A regular file open for reading.
class OpenedFile {
  public:
    struct ReadResult {
        std::int64_t count = 0;  // bytes read; 0 at the end of the file
        std::string error;       // the system's reason when the read failed
    };

    virtual ~OpenedFile() = default;
    // The file's length when it was opened.
    virtual std::int64_t Size() const = 0;
    // Reads up to size bytes into buffer.
    virtual ReadResult Read(char* buffer, std::int64_t size) = 0;
};

class FileReader {
  public:
    struct OpenResult {
        std::unique_ptr<OpenedFile> file;  // null when the file cannot be read
        bool not_found = false;            // no file of that name exists
        std::string error;                 // the reason when file is null
    };

    virtual ~FileReader() = default;
    // Opens path for reading. Only regular files open: a FIFO, socket, device or directory is
    // refused at once, without waiting for data.
    virtual OpenResult Open(const std::string& path) const = 0;
};

// The real file system.
const FileReader& SystemFileReader();

}  // namespace lintaro
