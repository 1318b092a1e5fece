// Tests of mapped files: the bytes as in the file, and a file that shrinks under its mapping.
#include "base/file_mapping.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// Maps the whole file at path; the descriptor is closed again at once, as the reader does.
FileMapping MapWhole(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    FileMapping mapping;
    EXPECT_FALSE(FileMapping::Map(fd, fs::file_size(path), mapping));
    ::close(fd);
    return mapping;
}

TEST(FileMappingTest, ShowsTheFileAndKeepsWritesToItself) {
    const TempDir directory;
    const fs::path path = directory.Write("file.txt", "mapped bytes");
    FileMapping mapping = MapWhole(path);
    ASSERT_EQ(mapping.Size(), 12U);
    EXPECT_EQ(std::string_view(mapping.Data(), mapping.Size()), "mapped bytes");
    mapping.Data()[0] = 'M';
    EXPECT_EQ(std::ifstream(path).get(), 'm') << "a write reached the file";
    EXPECT_FALSE(mapping.PagesLost());
}

// Reading the pages a file lost would end the process with SIGBUS; here they read as zeros,
// only the mapping of that file says so, and the pages it kept keep their bytes.
TEST(FileMappingTest, PagesTheFileLostReadAsZeros) {
    const TempDir directory;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const fs::path shrinking =
        directory.Write("shrinking.txt", std::string(page, 'a') + std::string(3 * page, 'b'));
    const fs::path other = directory.Write("other.txt", "other");
    FileMapping mapping = MapWhole(shrinking);
    const FileMapping untouched = MapWhole(other);
    fs::resize_file(shrinking, page);

    EXPECT_EQ(mapping.Data()[page - 1], 'a');
    EXPECT_EQ(mapping.LostFrom(), 4 * page);
    EXPECT_EQ(mapping.Data()[2 * page], '\0');
    EXPECT_EQ(mapping.Data()[4 * page - 1], '\0');
    EXPECT_EQ(mapping.LostFrom(), 2 * page);
    EXPECT_EQ(mapping.Data()[page], '\0');
    EXPECT_EQ(mapping.LostFrom(), page);
    EXPECT_TRUE(mapping.PagesLost());
    EXPECT_FALSE(untouched.PagesLost());
    EXPECT_EQ(std::string_view(untouched.Data(), untouched.Size()), "other");

    // A mapping made after the first one was let go of starts without the loss.
    mapping = FileMapping();
    EXPECT_FALSE(MapWhole(other).PagesLost());
}

// A SIGBUS that kill or raise sends is no access to a mapping: it ends the process as it would
// without mappings, instead of being swallowed.
TEST(FileMappingTest, SentSigbusIsNotSwallowed) {
    const TempDir directory;
    const fs::path path = directory.Write("file.txt", "mapped bytes");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const FileMapping mapping = MapWhole(path);  // the handler is in place from here
        ::raise(SIGBUS);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    // Under AddressSanitizer its own handler reports the signal and exits instead.
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the signal was swallowed";
}

}  // namespace
}  // namespace lintaro
