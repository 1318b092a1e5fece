// Writing an output file whole or not at all, through a temporary file in its directory.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "base/file_system.h"

namespace lintaro {

struct WriteResult {
    std::string path;       // the file written, or the one that could not be written
    std::error_code error;  // why it could not be written, if it could not
    bool ok() const { return !error; }
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

    // Creates the file, unnamed where the file system allows it.
    std::error_code Create();
    // Appends bytes. After a failure nothing more is written and the first error stays.
    // Every few megabytes the storage starts taking what was written, so that the flush
    // before the file is placed waits only for the last of it.
    std::error_code Write(std::string_view bytes);
    // Flushes the file and gives it the name target, replacing a file of that name, whose
    // mode, owner and group it keeps. A file that has other hard links is left as it is
    // (LintaroError::kOtherHardLinks), since those names would go on showing the old text.
    std::error_code PlaceReplacing(const std::string& target);
    // Flushes the file and gives it the name directory + stem + extension, or when that is
    // taken the first free one with " (2)", " (3)" ... before the extension; an existing file
    // is never replaced.
    WriteResult PlaceAsNew(const std::string& stem, std::string_view extension);

  private:
    // Flushes the file; the first error of the whole write, if any. A named temporary is
    // closed.
    std::error_code Finish();
    // Gives the finished file the name target unless that exists (EEXIST).
    std::error_code PlaceNoReplace(const std::string& target);
    // Gives the file the mode, owner and group of the regular file target, if there is one;
    // refuses one with other hard links.
    std::error_code KeepStatusOf(const std::string& target);
    void Discard();

    FileSystem& files_;
    std::string directory_;
    std::string temporary_;  // the named temporary: a hidden name that is still to be removed
    int fd_ = -1;
    bool unnamed_ = false;
    std::error_code error_;
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
