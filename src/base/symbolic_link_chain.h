// Following a path's symbolic links one at a time, as opening it would, seeing every name on
// the way rather than only where it ends.
#pragma once

#include <functional>
#include <string>
#include <system_error>

namespace lintaro {

// Follows the symbolic links path leads through, one link at a time, and gives in last the
// name where it stops: the first one stop accepts, or the first that is not a link (which may
// name nothing: a dangling link ends at the name it points to). A chain longer than the
// system's own limit, such as a loop, is ELOOP; last is then path.
std::error_code FollowSymbolicLinks(const std::string& path,
                                    const std::function<bool(const std::string& name)>& stop,
                                    std::string& last);

// The descriptor of this process that name stands for: /dev/stdin, /dev/stdout, /dev/stderr,
// /dev/fd/N or /proc/self/fd/N (also spelt with this process's id, or reached through a
// symbolic link); -1 for any other name.
int DescriptorNamedBy(const std::string& name);

}  // namespace lintaro
