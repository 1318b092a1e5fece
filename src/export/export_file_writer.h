// Writing an export file as a new file, whole or not at all.
#pragma once

#include <string>
#include <string_view>

#include "export/file_system.h"

namespace lintaro {

struct WriteResult {
    bool ok = false;
    std::string path;    // the file written, or the one that could not be written
    std::string reason;  // on failure: the system's reason, in program text
};

// Writes bytes to a new file named directory + stem + extension. An existing file is never
// replaced: when the name is taken, " (2)", " (3)" ... go before the extension. The bytes go
// to a temporary file in the same directory first, which then takes the name only if that
// name is still free, so a failure leaves neither a partial file nor the temporary.
WriteResult WriteNewFile(FileSystem& files, const std::string& directory, const std::string& stem,
                         std::string_view extension, std::string_view bytes);

}  // namespace lintaro
