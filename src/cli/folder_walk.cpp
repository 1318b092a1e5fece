// Turning the batch program's FILE arguments into the files to search, walking folders for -r.
#include "cli/folder_walk.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

#include "base/error.h"
#include "cli/standard_input_files.h"

namespace lintaro {

namespace {

bool FitsAny(const std::vector<std::string>& globs, const std::string& name) {
    return std::ranges::any_of(globs, [&name](const std::string& glob) {
        return ::fnmatch(glob.c_str(), name.c_str(), 0) == 0;
    });
}

// The size of the regular file at path, or -1: standard input, a file that cannot be reached
// and anything that is not a regular file.
std::int64_t SizeOf(const std::string& path) {
    struct stat status {};
    if (path == kStandardInputName || ::stat(path.c_str(), &status) != 0 ||
        !S_ISREG(status.st_mode)) {
        return -1;
    }
    return status.st_size;
}

class FolderWalk {
  public:
    FolderWalk(const CliOptions& options, WalkedFiles& walked)
        : options_(options), walked_(walked) {}

    // Adds the files under folder (its path as it will be printed) to found.
    void Walk(const std::string& folder, const struct stat& status,
              std::vector<std::pair<std::string, std::int64_t>>& found) {
        // The folders on the way down: a link back to one of them would walk for ever.
        const std::pair<dev_t, ino_t> id = {status.st_dev, status.st_ino};
        if (!on_the_way_.insert(id).second) return;
        const std::vector<std::string> names = Names(folder);
        const std::string prefix = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
        for (const std::string& name : names) {
            const std::string path = prefix + name;
            struct stat entry {};
            if (::lstat(path.c_str(), &entry) != 0) continue;
            if (S_ISLNK(entry.st_mode)) {
                if (!options_.follow_links || ::stat(path.c_str(), &entry) != 0) continue;
            }
            if (S_ISDIR(entry.st_mode)) {
                Walk(path, entry, found);
            } else if (S_ISREG(entry.st_mode) &&
                       (options_.include_globs.empty() || FitsAny(options_.include_globs, name)) &&
                       !FitsAny(options_.exclude_globs, name)) {
                found.emplace_back(path, entry.st_size);
            }
        }
        on_the_way_.erase(id);
    }

  private:
    // The names in folder but "." and "..", or none after saying why it cannot be read.
    std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
        if (directory == nullptr) {
            walked_.errors.push_back("cannot read " + (folder.empty() ? "." : folder) + ": " +
                                     ErrorText(std::error_code(errno, std::generic_category())));
            return names;
        }
        while (const dirent* entry = ::readdir(directory)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(directory);
        return names;
    }

    const CliOptions& options_;
    WalkedFiles& walked_;
    std::set<std::pair<dev_t, ino_t>> on_the_way_;
};

}  // namespace

WalkedFiles WalkPaths(const CliOptions& options) {
    WalkedFiles walked;
    if (!options.recursive) {
        walked.paths = options.paths;
        for (const std::string& path : options.paths) walked.sizes.push_back(SizeOf(path));
        return walked;
    }
    FolderWalk walk(options, walked);
    // No FILE: the current folder, whose files are named as they are reached from it.
    const std::vector<std::string> arguments =
        options.paths.empty() ? std::vector<std::string>{""} : options.paths;
    for (const std::string& argument : arguments) {
        struct stat status {};
        if (argument == kStandardInputName ||
            ::stat(argument.empty() ? "." : argument.c_str(), &status) != 0 ||
            !S_ISDIR(status.st_mode)) {
            // Read as a file: its run says what is wrong with it.
            walked.paths.push_back(argument);
            walked.sizes.push_back(SizeOf(argument));
            continue;
        }
        std::vector<std::pair<std::string, std::int64_t>> found;
        walk.Walk(argument, status, found);
        // Byte order, whatever the folders' own order: two runs give the same output.
        std::ranges::sort(found);
        for (auto& [path, size] : found) {
            walked.paths.push_back(std::move(path));
            walked.sizes.push_back(size);
        }
    }
    return walked;
}

}  // namespace lintaro
