// Following a path's symbolic links one at a time.
#include "base/symbolic_link_chain.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "base/error.h"

namespace lintaro {

namespace {

// Linux gives up after this many links in one lookup (MAXSYMLINKS).
constexpr int kMostLinks = 40;

// What the symbolic link name points to, or nothing when name is not a link.
std::string LinkContent(const std::string& name) {
    std::string content(256, '\0');
    while (true) {
        const ssize_t length = ::readlink(name.c_str(), content.data(), content.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < content.size()) {
            content.resize(static_cast<std::size_t>(length));
            return content;
        }
        content.resize(content.size() * 2);
    }
}

std::string DirectoryOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The directory once its own symbolic links are followed, without a trailing "/".
std::string CanonicalDirectory(const std::string& directory) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(directory.empty() ? "." : directory.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// text as a descriptor number, or -1.
int DescriptorNumber(std::string_view text) {
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number >= 0 ? number : -1;
}

}  // namespace

std::error_code FollowSymbolicLinks(const std::string& path,
                                    const std::function<bool(const std::string& name)>& stop,
                                    std::string& last) {
    std::string name = path;
    for (int links = 0; links <= kMostLinks; ++links) {
        if (stop(name)) {
            last = name;
            return {};
        }
        const std::string content = LinkContent(name);
        if (content.empty()) {
            last = name;
            return {};
        }
        // A relative link is relative to the directory that holds it.
        name = content.front() == '/' ? content : DirectoryOf(name).append(content);
    }
    last = path;
    return SystemError(ELOOP);
}

int DescriptorNamedBy(const std::string& name) {
    // /dev/stdout and its kin are links to /proc/self/fd/N, and /proc/self to /proc/<pid>:
    // whatever the spelling, the name is a number in this process's own descriptor folder.
    const std::string directory = DirectoryOf(name);
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd";
    if (CanonicalDirectory(directory) != own) return -1;
    return DescriptorNumber(std::string_view(name).substr(directory.size()));
}

}  // namespace lintaro
