// Writing output files: whole or not at all; export files never over an existing file.
#include "export/export_file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ios>
#include <utility>
#include <vector>

#include "failing_file_system.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Call = FailingFileSystem::Call;

// Where the file is made: unnamed, or named and renamed, or named and linked.
enum class Temporary { kUnnamed, kRenamed, kLinked };

FailingFileSystem FilesFor(Temporary temporary, Call call = Call::kNone, int error = 0) {
    return FailingFileSystem(call, error, temporary == Temporary::kLinked,
                             temporary != Temporary::kUnnamed);
}

class NewFileTest : public testing::TestWithParam<Temporary> {};

TEST_P(NewFileTest, WritesWholeFileUnderAFreeName) {
    TempDir dir;
    FailingFileSystem files = FilesFor(GetParam());
    const std::string bytes = "a\r\n中\n";

    const WriteResult first = WriteNewFile(files, dir.Slash(), "文本1秒", ".txt", {bytes});
    EXPECT_TRUE(first.ok());
    EXPECT_EQ(first.path, dir.Slash() + "文本1秒.txt");
    EXPECT_EQ(dir.Read("文本1秒.txt"), bytes);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"文本1秒.txt"}));  // no temporary left

    dir.Write("文本1秒 (2).txt", "taken");
    const WriteResult third = WriteNewFile(files, dir.Slash(), "文本1秒", ".txt", {"new"});
    EXPECT_TRUE(third.ok());
    EXPECT_EQ(third.path, dir.Slash() + "文本1秒 (3).txt");
    EXPECT_EQ(dir.Read("文本1秒.txt"), bytes);
    EXPECT_EQ(dir.Read("文本1秒 (2).txt"), "taken");
    EXPECT_EQ(dir.Read("文本1秒 (3).txt"), "new");
    EXPECT_EQ(dir.Names().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(UnnamedRenamedOrLinked, NewFileTest,
                         testing::Values(Temporary::kUnnamed, Temporary::kRenamed,
                                         Temporary::kLinked));

TEST_P(NewFileTest, PermissionsFollowTheUmask) {
    TempDir dir;
    FailingFileSystem files = FilesFor(GetParam());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(WriteNewFile(files, dir.Slash(), "n", ".html", {"x"}).ok());
    struct stat status {};
    ASSERT_EQ(::stat((dir.Slash() + "n.html").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
}

struct FailureCase {
    const char* name;
    Call call;
    int error;
    Temporary temporary;
};

class WriteFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(WriteFailureTest, ReportsPathAndReasonAndLeavesNothing) {
    const FailureCase& c = GetParam();
    TempDir dir;
    FailingFileSystem files = FilesFor(c.temporary, c.call, c.error);
    const WriteResult result = WriteNewFile(files, dir.Slash(), "n", ".html", {"<p>bytes</p>"});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.path, dir.Slash() + "n.html");
    EXPECT_EQ(result.error, SystemError(c.error));
    EXPECT_TRUE(dir.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WriteFailureTest,
    testing::Values(
        FailureCase{"UnnamedCreateDenied", Call::kCreateUnnamed, EACCES, Temporary::kUnnamed},
        FailureCase{"UnnamedDiskFull", Call::kWriteAll, ENOSPC, Temporary::kUnnamed},
        FailureCase{"UnnamedSyncFails", Call::kSync, EIO, Temporary::kUnnamed},
        FailureCase{"UnnamedLinkDenied", Call::kLinkUnnamed, EACCES, Temporary::kUnnamed},
        FailureCase{"CreateDenied", Call::kCreateNew, EACCES, Temporary::kRenamed},
        FailureCase{"DiskFullWhileWriting", Call::kWriteAll, ENOSPC, Temporary::kRenamed},
        FailureCase{"CloseFails", Call::kSyncAndClose, EIO, Temporary::kRenamed},
        FailureCase{"RenameDenied", Call::kRenameNoReplace, EACCES, Temporary::kRenamed},
        FailureCase{"LinkDenied", Call::kLink, EPERM, Temporary::kLinked}),
    [](const testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

TEST(WriteFailureTest, MissingDirectory) {
    TempDir dir;
    PosixFileSystem files;
    const std::string missing = dir.Slash() + "gone/";
    const WriteResult result = WriteNewFile(files, missing, "n", ".txt", {"x"});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.path, missing + "n.txt");
    EXPECT_EQ(result.error, SystemError(ENOENT));
}

class ReplacingTest : public testing::TestWithParam<FailureCase> {};

// The batch program's output file: it replaces the old file only once it is complete.
TEST_P(ReplacingTest, KeepsTheOldFileOnFailure) {
    const FailureCase& c = GetParam();
    TempDir dir;
    dir.Write("out.txt", "old");
    FailingFileSystem files = FilesFor(c.temporary, c.call, c.error);
    std::error_code error;
    {
        PendingFile file(files, dir.Slash());
        error = file.Create();
        if (!error) file.Write("new bytes");
        if (!error) error = file.PlaceReplacing(dir.Slash() + "out.txt");
    }
    EXPECT_EQ(error, SystemError(c.error));
    EXPECT_EQ(dir.Read("out.txt"), c.error == 0 ? "new bytes" : "old");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"out.txt"}));  // no temporary left
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ReplacingTest,
    testing::Values(
        FailureCase{"UnnamedSucceeds", Call::kNone, 0, Temporary::kUnnamed},
        FailureCase{"UnnamedDiskFull", Call::kWriteAll, ENOSPC, Temporary::kUnnamed},
        FailureCase{"UnnamedSyncFails", Call::kSync, EIO, Temporary::kUnnamed},
        FailureCase{"UnnamedLinkFails", Call::kLinkUnnamed, EMLINK, Temporary::kUnnamed},
        FailureCase{"UnnamedRenameFails", Call::kRename, EXDEV, Temporary::kUnnamed},
        FailureCase{"UnnamedOwnerNotKept", Call::kSetStatus, EPERM, Temporary::kUnnamed},
        FailureCase{"Succeeds", Call::kNone, 0, Temporary::kRenamed},
        FailureCase{"CreateDenied", Call::kCreateNew, EACCES, Temporary::kRenamed},
        FailureCase{"DiskFullWhileWriting", Call::kWriteAll, ENOSPC, Temporary::kRenamed},
        FailureCase{"CloseFails", Call::kSyncAndClose, EIO, Temporary::kRenamed},
        FailureCase{"RenameFails", Call::kRename, EXDEV, Temporary::kRenamed},
        FailureCase{"OwnerNotKept", Call::kSetStatus, EPERM, Temporary::kRenamed}),
    [](const testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

TEST(ReplacingTest, AnUnplacedFileLeavesNothing) {
    for (const Temporary temporary : {Temporary::kUnnamed, Temporary::kRenamed}) {
        TempDir dir;
        FailingFileSystem files = FilesFor(temporary);
        {
            PendingFile file(files, dir.Slash());
            ASSERT_FALSE(file.Create());
            file.Write("never placed");
        }
        EXPECT_TRUE(dir.Names().empty());
    }
}

// Replaces dir's out.txt with "new" through a PendingFile.
std::error_code ReplaceOutTxt(const TempDir& dir, Temporary temporary) {
    FailingFileSystem files = FilesFor(temporary);
    PendingFile file(files, dir.Slash());
    std::error_code error = file.Create();
    if (!error) error = file.Write("new");
    return error ? error : file.PlaceReplacing(dir.Slash() + "out.txt");
}

class ReplacedStatusTest : public testing::TestWithParam<Temporary> {};

// The file that replaces another keeps its permissions, whatever the umask would give: a
// private file stays private, a script stays executable.
TEST_P(ReplacedStatusTest, KeepsTheModeOfTheFileReplaced) {
    for (const mode_t mode : {0600, 0755, 0640, 02750, 0444}) {
        TempDir dir;
        const std::string out = dir.Write("out.txt", "old");
        ASSERT_EQ(::chmod(out.c_str(), mode), 0);
        struct stat before {};
        ASSERT_EQ(::stat(out.c_str(), &before), 0);

        EXPECT_FALSE(ReplaceOutTxt(dir, GetParam())) << std::oct << mode;
        struct stat after {};
        ASSERT_EQ(::stat(out.c_str(), &after), 0);
        EXPECT_EQ(dir.Read("out.txt"), "new");
        EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777) << std::oct << mode;
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
    }
}

// A file with a second name is left as it is: a new file under one name would leave the old
// text under the other.
TEST_P(ReplacedStatusTest, RefusesAFileWithOtherHardLinks) {
    TempDir dir;
    const std::string out = dir.Write("out.txt", "old");
    ASSERT_EQ(::link(out.c_str(), (dir.Slash() + "other.txt").c_str()), 0);

    EXPECT_EQ(ReplaceOutTxt(dir, GetParam()), LintaroError::kOtherHardLinks);
    EXPECT_EQ(dir.Read("out.txt"), "old");
    EXPECT_EQ(dir.Read("other.txt"), "old");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"other.txt", "out.txt"}));
}

INSTANTIATE_TEST_SUITE_P(UnnamedOrRenamed, ReplacedStatusTest,
                         testing::Values(Temporary::kUnnamed, Temporary::kRenamed));

// Records which ranges of a file were sent to storage early.
class WritebackRecorder : public PosixFileSystem {
  public:
    void StartWriteback(int fd, std::int64_t offset, std::int64_t length) override {
        ranges.emplace_back(offset, length);
        PosixFileSystem::StartWriteback(fd, offset, length);
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
};

// A large file goes to storage a few megabytes at a time while it is written, each range
// following the last, so that placing it waits only for the rest.
TEST(PendingFileTest, StartsWritebackEveryFewMegabytes) {
    TempDir dir;
    WritebackRecorder files;
    const std::string megabyte(std::size_t{1} << 20, 'x');
    {
        PendingFile file(files, dir.Slash());
        ASSERT_FALSE(file.Create());
        for (int i = 0; i < 20; ++i) file.Write(megabyte);
        ASSERT_FALSE(file.PlaceReplacing(dir.Slash() + "out.txt"));
    }
    constexpr std::int64_t kEight = std::int64_t{8} << 20;
    EXPECT_EQ(files.ranges, (decltype(files.ranges){{0, kEight}, {kEight, kEight}}));
    EXPECT_EQ(dir.Read("out.txt").size(), 20 * megabyte.size());
}

}  // namespace
}  // namespace lintaro
