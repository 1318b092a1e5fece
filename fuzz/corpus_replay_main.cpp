// Entry point of the fuzz targets when they are built without libFuzzer: runs the target once
// on every file named, or found in a directory named, on the command line.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.starts_with("-")) continue;  // libFuzzer's flags mean nothing here
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argument)) {
            for (const auto& entry : std::filesystem::directory_iterator(argument)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
        } else {
            files.emplace_back(argument);
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            Replay(file);
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    // A corpus that is missing or empty checks nothing: say so as a failure.
    return replayed > 0 ? 0 : 1;
}
