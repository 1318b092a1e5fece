// Writing output files: whole or not at all; export files never over an existing file.
#include "export/export_file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>


#include "failing_file_system.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Call = FailingFileSystem::Call;

class NewFileTest : public testing::TestWithParam<bool> {};  // rename unsupported

TEST_P(NewFileTest, WritesWholeFileUnderAFreeName) {
    TempDir dir;
    FailingFileSystem files(Call::kNone, 0, GetParam());
    const std::string bytes = "a\r\n中\n";

    const WriteResult first = WriteNewFile(files, dir.Slash(), "文本1秒", ".txt", bytes);
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(first.path, dir.Slash() + "文本1秒.txt");
    EXPECT_EQ(dir.Read("文本1秒.txt"), bytes);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"文本1秒.txt"}));  // no temporary left

    dir.Write("文本1秒 (2).txt", "taken");
    const WriteResult third = WriteNewFile(files, dir.Slash(), "文本1秒", ".txt", "new");
    EXPECT_TRUE(third.ok);
    EXPECT_EQ(third.path, dir.Slash() + "文本1秒 (3).txt");
    EXPECT_EQ(dir.Read("文本1秒.txt"), bytes);
    EXPECT_EQ(dir.Read("文本1秒 (2).txt"), "taken");
    EXPECT_EQ(dir.Read("文本1秒 (3).txt"), "new");
    EXPECT_EQ(dir.Names().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(RenameOrLink, NewFileTest, testing::Bool());

TEST(NewFileTest, PermissionsFollowTheUmask) {
    TempDir dir;
    PosixFileSystem files;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(WriteNewFile(files, dir.Slash(), "n", ".html", "x").ok);
    struct stat status {};
    ASSERT_EQ(::stat((dir.Slash() + "n.html").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
}

struct FailureCase {
    const char* name;
    Call call;
    int error;
    bool rename_unsupported;
};

class WriteFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(WriteFailureTest, ReportsPathAndReasonAndLeavesNothing) {
    const FailureCase& c = GetParam();
    TempDir dir;
    FailingFileSystem files(c.call, c.error, c.rename_unsupported);
    const WriteResult result = WriteNewFile(files, dir.Slash(), "n", ".html", "<p>bytes</p>");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.path, dir.Slash() + "n.html");
    EXPECT_EQ(result.error, c.error);
    EXPECT_TRUE(dir.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WriteFailureTest,
    testing::Values(FailureCase{"CreateDenied", Call::kCreateNew, EACCES, false},
                    FailureCase{"DiskFullWhileWriting", Call::kWriteAll, ENOSPC, false},
                    FailureCase{"CloseFails", Call::kSyncAndClose, EIO, false},
                    FailureCase{"RenameDenied", Call::kRenameNoReplace, EACCES, false},
                    FailureCase{"LinkDenied", Call::kLink, EPERM, true}),
    [](const testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

TEST(WriteFailureTest, MissingDirectory) {
    TempDir dir;
    PosixFileSystem files;
    const std::string missing = dir.Slash() + "gone/";
    const WriteResult result = WriteNewFile(files, missing, "n", ".txt", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.path, missing + "n.txt");
    EXPECT_EQ(result.error, ENOENT);
}

class ReplacingTest : public testing::TestWithParam<FailureCase> {};

// The batch program's output file: it replaces the old file only once it is complete.
TEST_P(ReplacingTest, KeepsTheOldFileOnFailure) {
    const FailureCase& c = GetParam();
    TempDir dir;
    dir.Write("out.txt", "old");
    FailingFileSystem files(c.call, c.error);
    int error = 0;
    {
        PendingFile file(files, dir.Slash());
        error = file.Create();
        if (error == 0) file.Write("new bytes");
        if (error == 0) error = file.PlaceReplacing(dir.Slash() + "out.txt");
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(dir.Read("out.txt"), c.error == 0 ? "new bytes" : "old");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"out.txt"}));  // no temporary left
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ReplacingTest,
    testing::Values(FailureCase{"Succeeds", Call::kNone, 0, false},
                    FailureCase{"CreateDenied", Call::kCreateNew, EACCES, false},
                    FailureCase{"DiskFullWhileWriting", Call::kWriteAll, ENOSPC, false},
                    FailureCase{"CloseFails", Call::kSyncAndClose, EIO, false},
                    FailureCase{"RenameFails", Call::kRename, EXDEV, false}),
    [](const testing::TestParamInfo<FailureCase>& row) { return row.param.name; });

TEST(ReplacingTest, AnUnplacedFileLeavesNothing) {
    TempDir dir;
    PosixFileSystem files;
    {
        PendingFile file(files, dir.Slash());
        ASSERT_EQ(file.Create(), 0);
        file.Write("never placed");
    }
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
}  // namespace lintaro
