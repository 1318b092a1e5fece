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
//
// The first Map installs a SIGBUS handler for the whole process, on every thread, and it stays
// for the life of the process. A SIGBUS that hits no live mapping goes on to the handler that
// was installed before it, or ends the process as it would have without one. So a caller must
// not, once it maps files: install a SIGBUS handler of its own without passing on the signals
// it does not handle to the one it replaces (the mappings would lose their protection), set
// SIGBUS back to its default or ignore it, or block SIGBUS on a thread that reads a mapping
// (a blocked SIGBUS from a read ends the process).
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
    // Whether the file has lost pages of the mapping (they then read as zeros): a read found
    // one, or the file no longer reaches the mapping's last page.
    bool PagesLost() const;
    // Where the lost pages begin as far as reads have found them: the offset of the first byte
    // of the lowest page a read found lost, or Size() while none was. The file's new end lies
    // at most one page before it; the bytes between read as zeros. Safe to ask while other
    // threads read the mapping.
    std::size_t LostFrom() const;

  private:
    void Release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    int slot_ = -1;  // the entry of the mapping in the table the SIGBUS handler reads
};

}  // namespace lintaro
