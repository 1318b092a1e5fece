// A fresh temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace lintaro {

// Made unique under the system's temporary directory. Removal first gives back any
// permission a test took from a directory inside, so that everything can go.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The directory with a final "/", ready to have a file name appended.
    std::string Slash() const { return path_.string() + "/"; }

    // Writes content as the named file in the directory and gives its path.
    std::filesystem::path Write(const std::string& name, const std::string& content) const;
    // The whole content of the named file in the directory; empty when it cannot be read.
    std::string Read(const std::string& name) const;
    // Names of the entries in the directory.
    std::set<std::string> Names() const;

  private:
    std::filesystem::path path_;
};

}  // namespace lintaro
