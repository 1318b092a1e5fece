// Tests of reading the subject file, through a fake file system and the real one.
#include "match/subject_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string_view>
#include <thread>

#include "base/error.h"
#include "base/work_progress.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Cut = DecodedSubject::Cut;

// A file system serving one file whose reads deliver at most chunk bytes each and stop (or
// fail) after limit bytes.
struct FakeFiles : PosixFileSystem {
    std::error_code OpenForReading(const std::string& /*path*/, int& fd,
                                   std::int64_t& file_size) override {
        if (open_error != 0) return SystemError(open_error);
        fd = 3;
        file_size = size;
        position = 0;
        return {};
    }
    std::error_code Read(int /*fd*/, char* buffer, std::int64_t wanted,
                         std::int64_t& count) override {
        const std::int64_t left = std::min<std::int64_t>(limit, content.size()) - position;
        count = 0;
        if (left <= 0) return SystemError(read_error);
        count = std::min({wanted, chunk, left});
        std::memcpy(buffer, content.data() + position, static_cast<std::size_t>(count));
        position += count;
        return {};
    }
    std::error_code CurrentSize(int /*fd*/, std::int64_t& now) override {
        now = size_after >= 0 ? size_after : static_cast<std::int64_t>(content.size());
        return {};
    }
    void Close(int /*fd*/) override {}

    std::string content;
    std::int64_t size = 0;
    std::int64_t chunk = 1 << 20;
    std::int64_t limit = 1 << 20;
    int read_error = 0;
    int open_error = 0;
    std::int64_t position = 0;
    std::int64_t size_after = -1;  // the length after the read; -1: that of content
};

struct ReadCase {
    const char* name;
    std::string path;
    FakeFiles files;
    std::string text;
    std::error_code error;
    Cut cut = Cut::kNone;
    std::int64_t cut_offset = -1;
    bool shrank = false;
};

FakeFiles Serving(std::string content, std::int64_t chunk = 1 << 20, std::int64_t limit = 1 << 20,
                  int read_error = 0) {
    FakeFiles files;
    files.size = static_cast<std::int64_t>(content.size());
    files.content = std::move(content);
    files.chunk = chunk;
    files.limit = limit;
    files.read_error = read_error;
    return files;
}

FakeFiles Failing(int error) {
    FakeFiles files;
    files.open_error = error;
    return files;
}

FakeFiles Claiming(std::int64_t size, std::string content) {
    FakeFiles files = Serving(std::move(content));
    files.size = size;
    return files;
}

// A file whose length says more than it holds, now as before the read.
FakeFiles HoldingLess(std::int64_t size, std::string content) {
    FakeFiles files = Claiming(size, std::move(content));
    files.size_after = size;
    return files;
}

SubjectText ReadAndDecode(const std::string& path, FileSystem& files) {
    return DecodeSubject(ReadSubjectBytes(path, files, "UTF-8"), "UTF-8");
}

class ReadSubjectTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadSubjectTest, ReadsAndReports) {
    ReadCase c = GetParam();
    const SubjectText subject = ReadAndDecode(c.path, c.files);
    EXPECT_EQ(subject.text.View(), c.text);
    EXPECT_EQ(subject.read_error, c.error);
    EXPECT_EQ(subject.cut, c.cut);
    EXPECT_EQ(subject.cut_offset, c.cut_offset);
    EXPECT_EQ(subject.shrank, c.shrank);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSubjectTest,
    testing::Values(
        ReadCase{"WholeFile", "/f", Serving("abc"), "abc", {}},
        ReadCase{"ManySmallReads", "/f", Serving("abcdefg", 2), "abcdefg", {}},
        ReadCase{"ShrankWhileRead", "/f", Claiming(10, "abcd"), "abcd", {}, Cut::kNone, -1, true},
        // Files under /sys report a page whatever they hold: no warning for those.
        ReadCase{"HoldsLessThanItsLengthSays", "/f", HoldingLess(4096, "ab"), "ab", {}},
        // Files under /proc report the length 0, and a file may grow while it is read: both
        // are read to their end.
        ReadCase{"GrewWhileRead", "/f", Claiming(2, "abcd"), "abcd", {}},
        ReadCase{"ReportsNoLength", "/f", Claiming(0, "abc"), "abc", {}},
        ReadCase{"ReportsNoLengthAndOutgrowsTheFirstBuffer",
                 "/f",
                 Claiming(0, std::string(300'000, 'x')),
                 std::string(300'000, 'x'),
                 {}},
        ReadCase{"EmptyFile", "/f", Serving(""), "", {}},
        ReadCase{"EmptyPath", "", Serving("abc"), "", LintaroError::kNoFileNamed},
        ReadCase{"ReadFailsHalfway", "/f", Serving("abcdef", 2, 4, EIO), "abcd", SystemError(EIO)},
        ReadCase{"Missing", "/f", Failing(ENOENT), "", SystemError(ENOENT)},
        ReadCase{"Locked", "/f", Failing(EACCES), "", SystemError(EACCES)},
        ReadCase{"NoFileDroppedYet", kNoFileCaption, Failing(ENOENT), "", {}},
        ReadCase{"StartupCaptionNamingSomethingElse", kNoFileCaption, Failing(EACCES), "",
                 SystemError(EACCES)},
        ReadCase{"CutAtMalformedByte", "/f", Serving("ab\xD6\xD0"), "ab", {}, Cut::kMalformed, 2},
        ReadCase{"CutAtNul",
                 "/f",
                 Serving(std::string("\xEF\xBB\xBFz\0y", 6)),
                 "\xEF\xBB\xBFz",
                 {},
                 Cut::kNul,
                 4}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

// Real files: a regular file is read, a FIFO or a character device as a stream; what can
// never end or is no file is refused at once without blocking.
class SystemFilesTest : public testing::Test {
  protected:
    TempDir directory_;
};

TEST_F(SystemFilesTest, ReadsFilesAndStreamsAndRefusesOthers) {
    const std::string file = directory_.Write("subject.html", "<a>\xE4\xB8\xAD</a>");
    EXPECT_EQ(ReadAndDecode(file, SystemFiles()).text.View(), "<a>\xE4\xB8\xAD</a>");

    const std::string fifo = directory_.Path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Expected {
        std::string path;
        std::error_code error;
    };
    for (const Expected& expected :
         {Expected{fifo, {}},  // without a writer: ends at once, empty
          Expected{"/dev/null", {}}, Expected{"/dev/zero", LintaroError::kEndlessDevice},
          Expected{"/dev/urandom", LintaroError::kEndlessDevice},
          Expected{directory_.Path(), SystemError(EISDIR)},
          Expected{directory_.Path() / "missing", SystemError(ENOENT)}}) {
        const SubjectText subject = ReadAndDecode(expected.path, SystemFiles());
        EXPECT_EQ(subject.text.View(), "") << expected.path;
        EXPECT_EQ(subject.read_error, expected.error) << expected.path;
    }
}

// A pipe named by its path (as process substitution names one) is read until its writer
// closes it, however long the writer takes and however much it writes.
TEST_F(SystemFilesTest, ReadsAPipeToItsEnd) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::string sent;
    for (int line = 0; line < 20000; ++line) sent += "line " + std::to_string(line) + "\n";
    std::thread writer([&] {
        std::string_view rest = sent;
        for (int piece = 0; !rest.empty(); ++piece) {
            if (piece % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const ssize_t written =
                ::write(ends[1], rest.data(), std::min<std::size_t>(rest.size(), 4096));
            if (written <= 0) break;
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
        ::close(ends[1]);
    });
    const SubjectText subject = ReadAndDecode("/dev/fd/" + std::to_string(ends[0]), SystemFiles());
    writer.join();
    ::close(ends[0]);
    EXPECT_FALSE(subject.read_error);
    EXPECT_EQ(subject.text.View(), sent);
}

// A writer that holds its pipe open and sends nothing does not keep a cancelled read waiting.
TEST_F(SystemFilesTest, ACancelledReadOfASilentPipeStops) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "early", 5), 5);
    WorkProgress progress;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        progress.RequestCancel();
    });
    const SubjectBytes read =
        ReadSubjectBytes("/dev/fd/" + std::to_string(ends[0]), SystemFiles(), "UTF-8", &progress);
    canceller.join();
    ::close(ends[0]);
    ::close(ends[1]);
    EXPECT_EQ(read.bytes.View(), "early");
}

TEST_F(SystemFilesTest, ReadsFilesThatReportNoLength) {
    struct stat status {};
    ASSERT_EQ(::stat("/proc/version", &status), 0);
    ASSERT_EQ(status.st_size, 0);
    std::ifstream in("/proc/version", std::ios::binary);
    const std::string expected(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(expected.empty());
    const SubjectText subject = ReadAndDecode("/proc/version", SystemFiles());
    EXPECT_EQ(subject.text.View(), expected);
    EXPECT_FALSE(subject.read_error);
    EXPECT_FALSE(subject.shrank);
}

}  // namespace
}  // namespace lintaro
