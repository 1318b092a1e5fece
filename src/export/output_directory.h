// The directory an export is written to, taken from the drop zone's caption.
#pragma once

#include <string>
#include <string_view>

namespace lintaro {

// The caption split at each "/" with its last piece dropped and every other piece followed
// by "/". Empty pieces between adjacent "/" count; an empty piece after a final "/" does not.
// So "/home/u/a.html" gives "/home/u/", "a/b/" gives "a/" and a caption without "/" (no file
// dropped yet) the empty directory, that is the current one.
std::string OutputDirectory(std::string_view caption);

}  // namespace lintaro
