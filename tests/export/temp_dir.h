// A fresh temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace lintaro {

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lintaro-test-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory with a final "/", ready to have a file name appended.
    std::string Slash() const { return path_ + "/"; }

    // Names of the entries in the directory.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // The whole content of the named file in the directory.
    std::string Read(const std::string& name) const {
        std::ifstream in(Slash() + name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

  private:
    std::string path_;
};

}  // namespace lintaro
