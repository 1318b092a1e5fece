// Tests of reading the subject file, through a fake file system and the real one.
#include "match/subject_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "support/temp_dir.h"

namespace lintaro {
namespace {

using Problem = MatchReport::Problem;

// A file whose reads deliver at most chunk bytes each and stop (or fail) after limit bytes.
class FakeFile : public OpenedFile {
  public:
    FakeFile(std::string content, std::int64_t size, std::int64_t chunk, std::int64_t limit,
             std::string error)
        : content_(std::move(content)),
          size_(size),
          chunk_(chunk),
          limit_(limit),
          error_(std::move(error)) {}
    std::int64_t Size() const override { return size_; }
    ReadResult Read(char* buffer, std::int64_t size) override {
        const std::int64_t left = std::min<std::int64_t>(limit_, content_.size()) - position_;
        if (left <= 0) return {0, error_};
        const std::int64_t count = std::min({size, chunk_, left});
        std::memcpy(buffer, content_.data() + position_, static_cast<std::size_t>(count));
        position_ += count;
        return {count, {}};
    }

  private:
    std::string content_;
    std::int64_t size_;
    std::int64_t chunk_;
    std::int64_t limit_;
    std::string error_;
    std::int64_t position_ = 0;
};

struct FakeReader : FileReader {
    OpenResult Open(const std::string& /*path*/) const override {
        if (!open_error.empty()) return {nullptr, not_found, open_error};
        return {std::make_unique<FakeFile>(content, size, chunk, limit, read_error), false, {}};
    }
    std::string content;
    std::int64_t size = 0;
    std::int64_t chunk = 1 << 20;
    std::int64_t limit = 1 << 20;
    std::string read_error;
    std::string open_error;
    bool not_found = false;
};

struct ReadCase {
    const char* name;
    std::string path;
    FakeReader reader;
    std::string text;
    Problem problem;
    std::string detail;
    std::int64_t position = -1;
};

FakeReader Serving(std::string content, std::int64_t chunk = 1 << 20, std::int64_t limit = 1 << 20,
                   std::string read_error = {}) {
    FakeReader reader;
    reader.size = static_cast<std::int64_t>(content.size());
    reader.content = std::move(content);
    reader.chunk = chunk;
    reader.limit = limit;
    reader.read_error = std::move(read_error);
    return reader;
}

FakeReader Failing(std::string error, bool not_found) {
    FakeReader reader;
    reader.open_error = std::move(error);
    reader.not_found = not_found;
    return reader;
}

FakeReader Claiming(std::int64_t size, std::string content) {
    FakeReader reader = Serving(std::move(content));
    reader.size = size;
    return reader;
}

class ReadSubjectTextTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadSubjectTextTest, ReadsAndReports) {
    const ReadCase& c = GetParam();
    const SubjectText subject = ReadSubjectText(c.path, c.reader, "UTF-8");
    EXPECT_EQ(subject.text, c.text);
    EXPECT_EQ(subject.problem, c.problem);
    EXPECT_EQ(subject.detail, c.detail);
    EXPECT_EQ(subject.position, c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSubjectTextTest,
    testing::Values(
        ReadCase{"WholeFile", "/f", Serving("abc"), "abc", Problem::kNone, ""},
        ReadCase{"ManySmallReads", "/f", Serving("abcdefg", 2), "abcdefg", Problem::kNone, ""},
        ReadCase{"ShorterThanItsLength", "/f", Claiming(10, "abcd"), "abcd", Problem::kNone, ""},
        ReadCase{"LongerThanItsLength", "/f", Claiming(2, "abcd"), "ab", Problem::kNone, ""},
        ReadCase{"EmptyFile", "/f", Serving(""), "", Problem::kNone, ""},
        ReadCase{"EmptyPath", "", Serving("abc"), "", Problem::kFileUnreadable, "no file named"},
        ReadCase{"ReadFailsHalfway", "/f", Serving("abcdef", 2, 4, "Input/output error"), "abcd",
                 Problem::kFileUnreadable, "Input/output error"},
        ReadCase{"Missing", "/f", Failing("No such file or directory", true), "",
                 Problem::kFileUnreadable, "No such file or directory"},
        ReadCase{"Locked", "/f", Failing("Permission denied", false), "", Problem::kFileUnreadable,
                 "Permission denied"},
        ReadCase{"NoFileDroppedYet", kNoFileCaption, Failing("No such file or directory", true), "",
                 Problem::kNone, ""},
        ReadCase{"StartupCaptionNamingSomethingElse", kNoFileCaption,
                 Failing("Permission denied", false), "", Problem::kFileUnreadable,
                 "Permission denied"},
        ReadCase{"CutAtMalformedByte", "/f", Serving("ab\xD6\xD0"), "ab",
                 Problem::kTextCutMalformed, "", 2},
        ReadCase{"CutAtNul", "/f", Serving(std::string("\xEF\xBB\xBFz\0y", 6)), "\xEF\xBB\xBFz",
                 Problem::kTextCutNul, "", 4}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

// Real files: a regular file is read; anything else is refused at once without blocking.
class SystemFileReaderTest : public testing::Test {
  protected:
    TempDir directory_;
};

TEST_F(SystemFileReaderTest, ReadsRegularFilesAndRefusesOthers) {
    const std::string file = directory_.Write("subject.html", "<a>\xE4\xB8\xAD</a>");
    EXPECT_EQ(ReadSubjectText(file, SystemFileReader(), "UTF-8").text, "<a>\xE4\xB8\xAD</a>");

    const std::string fifo = directory_.Path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Refused {
        std::string path;
        std::string detail;
    };
    for (const Refused& refused :
         {Refused{fifo, "not a regular file"}, Refused{"/dev/zero", "not a regular file"},
          Refused{directory_.Path(), "Is a directory"},
          Refused{directory_.Path() / "missing", "No such file or directory"}}) {
        const SubjectText subject = ReadSubjectText(refused.path, SystemFileReader(), "UTF-8");
        EXPECT_EQ(subject.text, "") << refused.path;
        EXPECT_EQ(subject.problem, Problem::kFileUnreadable) << refused.path;
        EXPECT_EQ(subject.detail, refused.detail) << refused.path;
    }
}

}  // namespace
}  // namespace lintaro
