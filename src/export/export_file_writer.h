// Writing an output file whole or not at all, through a temporary file in its directory.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_system.h"

namespace lintaro {

struct WriteResult {
    bool ok = false;
    std::string path;  // the file written, or the one that could not be written
    int error = 0;     // on failure: an errno value (see base/system_error.h for its words)
};

// A file being written in its directory without a name, or, where the file system cannot
// make unnamed files, under a hidden temporary name. It takes its final name only once every
// byte is written and flushed, so a failure, a crash or a kill never leaves a partial file
// under that name. An unnamed file vanishes by itself when the process ends, however it ends;
// a named temporary is removed unless it was placed (a kill leaves it).
class PendingFile {
  public:
    // directory is "" (the current directory) or ends with "/".
    PendingFile(FileSystem& files, std::string directory);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the file, unnamed where the file system allows it; 0 or the error.
    int Create();
    // Appends bytes. After a failure nothing more is written and the first error stays.
    // Every few megabytes the storage starts taking what was written, so that the flush
    // before the file is placed waits only for the last of it.
    int Write(std::string_view bytes);
    // Flushes the file and gives it the name target, replacing a file of that name.
    int PlaceReplacing(const std::string& target);
    // Flushes the file and gives it the name directory + stem + extension, or when that is
    // taken the first free one with " (2)", " (3)" ... before the extension; an existing file
    // is never replaced.
    WriteResult PlaceAsNew(const std::string& stem, std::string_view extension);

  private:
    // Flushes the file; 0 or the first error of the whole write. A named temporary is closed.
    int Finish();
    // Gives the finished file the name target unless that exists (EEXIST).
    int PlaceNoReplace(const std::string& target);
    void Discard();

    FileSystem& files_;
    std::string directory_;
    std::string temporary_;  // the named temporary: a hidden name that is still to be removed
    int fd_ = -1;
    bool unnamed_ = false;
    int error_ = 0;
    std::int64_t written_ = 0;       // bytes written so far
    std::int64_t written_back_ = 0;  // bytes whose writing to storage was started
};

// Creates a new file named directory + stem + extension, never replacing an existing file
// (see PendingFile::PlaceAsNew), and lets fill write its bytes. When fill returns false, the
// file is given up: nothing is left and there is no result. A file that cannot be created is
// a failed result without calling fill.
std::optional<WriteResult> WriteNewFile(FileSystem& files, const std::string& directory,
                                        const std::string& stem, std::string_view extension,
                                        const std::function<bool(PendingFile& file)>& fill);
// Writes pieces one after another to such a new file.
WriteResult WriteNewFile(FileSystem& files, const std::string& directory, const std::string& stem,
                         std::string_view extension,
                         std::initializer_list<std::string_view> pieces);

}  // namespace lintaro
