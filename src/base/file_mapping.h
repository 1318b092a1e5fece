// A file's bytes mapped into memory instead of copied, safe against the file shrinking.
#pragma once

#include <cstddef>
#include <system_error>

namespace lintaro {

// A private, writable mapping of the first bytes of a file: the pages come straight from the
// kernel's cache of the file, with no copying and no fresh memory, and a write changes only
// this process's copy of its page. A file that another program shortens while it is mapped
// would end the process (SIGBUS) at the first read of a page it no longer has; while a mapping
// lives, such a read finds zeros instead, and PagesLost() says that this happened.
class FileMapping {
  public:
    FileMapping() = default;
    ~FileMapping();
    FileMapping(FileMapping&& other) noexcept;
    FileMapping& operator=(FileMapping&& other) noexcept;
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps the first size bytes (at least one) of the file open for reading as fd; the system's
    // error when it cannot (ENOMEM also when too many mappings live at once).
    static std::error_code Map(int fd, std::size_t size, FileMapping& mapping);

    char* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    // Whether a read found a page the file had lost (the text then holds zeros there).
    bool PagesLost() const;

  private:
    void Release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    int slot_ = -1;  // the entry of the mapping in the table the SIGBUS handler reads
};

}  // namespace lintaro
