// Fuzz target: the output directory taken from a fuzzed drop-zone caption.
#include <cstdint>
#include <string>
#include <string_view>

#include "export/output_directory.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lintaro;
    const std::string_view caption(reinterpret_cast<const char*>(data), size);
    const std::string directory = OutputDirectory(caption);

    // Splitting at every "/", not counting an empty piece after a final "/" and dropping the
    // last piece leaves the caption up to its last "/" once one final "/" is taken off.
    std::string_view expected = caption;
    if (expected.ends_with('/')) expected.remove_suffix(1);
    const std::size_t last_slash = expected.rfind('/');
    expected = last_slash == std::string_view::npos ? std::string_view()
                                                    : expected.substr(0, last_slash + 1);

    FuzzCheck(directory == expected, "the directory is the caption up to its last separator");
    FuzzCheck(directory.empty() || directory.back() == '/', "a directory ends with its separator");
    FuzzCheck(caption.starts_with(directory), "the directory is a prefix of the caption");
    return 0;
}
