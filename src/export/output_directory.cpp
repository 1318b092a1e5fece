// Splitting the drop zone's caption into the export's output directory.
#include "export/output_directory.h"

#include <vector>

namespace lintaro {

// "/" is ASCII and below every second byte of the double-byte sets, so a byte search finds
// exactly the "/" characters.
std::string OutputDirectory(std::string_view caption) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t slash = caption.find('/'); slash != std::string_view::npos;
         slash = caption.find('/', start)) {
        pieces.push_back(caption.substr(start, slash - start));
        start = slash + 1;
    }
    if (start < caption.size()) pieces.push_back(caption.substr(start));
    if (!pieces.empty()) pieces.pop_back();

    std::string directory;
    for (std::string_view piece : pieces) {
        directory += piece;
        directory += '/';
    }
    return directory;
}

}  // namespace lintaro
