// ExportSelection over a fake window: the selection check, clipboard, file and messages.
#include "export/export_selection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "export/export_text.h"
#include "support/table_builder.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

struct Message {
    std::string text;
    std::string caption;
    bool is_error;
    friend bool operator==(const Message&, const Message&) = default;
};

class FakeExportIo : public ExportIo {
  public:
    SelectionRect Selection() const override { return selection; }
    ExportFormat CheckedFormat() const override { return format; }
    const ResultTable& Table() const override { return table; }
    ColumnRoles Roles() const override { return roles; }
    std::string DropZoneCaption() const override { return caption; }
    void AddClipboardText(std::string_view utf8) override { clipboard_to_come += utf8; }
    void PlaceClipboardText() override { clipboard = std::exchange(clipboard_to_come, {}); }
    void DropClipboardText() override { clipboard_to_come.clear(); }
    void ShowMessage(const std::string& text, const std::string& message_caption,
                     bool is_error) override {
        messages.push_back({text, message_caption, is_error});
    }
    LocalDateTime Now() const override { return {2022, 3, 9, 8, 5, 7}; }
    void RunLongWork(WorkProgress& progress, const std::function<void()>& work) override {
        if (cancel_long_work) progress.RequestCancel();
        work();
        long_work_rows = {progress.Done(), progress.Total()};
    }

    SelectionRect selection{1, 1, 2, 2};
    ExportFormat format = ExportFormat::PlainText;
    ResultTable table = MakeTable({{"", "匹配文本", "子表达式匹配1"},
                                   {"1", "<a href=\"/x\">中文</a>", "/x"},
                                   {"2", "it's", "a b"}});
    ColumnRoles roles;
    std::string caption = "拖入文件";
    std::optional<std::string> clipboard;
    std::string clipboard_to_come;
    std::vector<Message> messages;
    bool cancel_long_work = false;
    std::pair<std::int64_t, std::int64_t> long_work_rows;  // rows done, rows in all
};

const std::string kCharsetLine = "<meta charset=\"utf-8\">\r\n";

struct FormatCase {
    ExportFormat format;
    std::string file_name;
    bool to_clipboard;
    std::string charset_line;  // what the file holds before the export text
};

class ExportFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(ExportFormatTest, WritesFileAndClipboardAndReportsDirectory) {
    const FormatCase& c = GetParam();
    TempDir dir;
    FakeExportIo io;
    io.format = c.format;
    io.caption = dir.Slash() + "page.htm";
    io.clipboard = "before";

    ExportSelection(io);

    const std::string text = BuildExportText(c.format, io.table, io.selection, io.roles);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{c.file_name}));
    // UTF-8 as is, no byte-order mark; the link list and the plain table declare it.
    EXPECT_EQ(dir.Read(c.file_name), c.charset_line + text);
    EXPECT_EQ(io.clipboard, c.to_clipboard ? text : "before");
    EXPECT_EQ(io.messages,
              (std::vector<Message>{
                  {"已导出到目录：" + dir.Slash() + "\r\n" + c.file_name, "完成", false}}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportFormatTest,
    testing::Values(
        FormatCase{ExportFormat::StyledLinkPage, "个性链接2022年3月9日8时5分7秒.html", true, ""},
        FormatCase{ExportFormat::LinkList, "链接2022年3月9日8时5分7秒.html", true, kCharsetLine},
        FormatCase{ExportFormat::PlainText, "文本2022年3月9日8时5分7秒.txt", true, ""},
        FormatCase{ExportFormat::HtmlTable, "html表格2022年3月9日8时5分7秒.html", false,
                   kCharsetLine},
        FormatCase{ExportFormat::StyledTablePage, "个性表格2022年3月9日8时5分7秒.html", false,
                   ""}));

TEST(ExportSelectionTest, NothingSelectedShowsErrorOnly) {
    TempDir dir;
    FakeExportIo io;
    io.caption = dir.Slash() + "page.htm";
    io.selection = SelectionRect{};
    ExportSelection(io);
    EXPECT_EQ(io.messages,
              (std::vector<Message>{{"没有要导出的数据，\r\n请先在表格中选择", "错误", true}}));
    EXPECT_FALSE(io.clipboard.has_value());
    EXPECT_TRUE(dir.Names().empty());
}

// A cancel leaves nothing, whether the text goes to the clipboard too or only to the file.
TEST(ExportSelectionTest, LongWorkCountsRowsAndACancelWritesNothing) {
    for (const ExportFormat format :
         {ExportFormat::PlainText, ExportFormat::StyledLinkPage, ExportFormat::HtmlTable}) {
        const ExportFormatInfo& info = FormatInfo(format);
        TempDir dir;
        FakeExportIo io;
        io.format = format;
        io.caption = dir.Slash() + "page.htm";
        ExportSelection(io);
        const std::string text = BuildExportText(format, io.table, io.selection, io.roles);
        EXPECT_EQ(io.long_work_rows, std::make_pair(std::int64_t{2}, std::int64_t{2}));
        EXPECT_EQ(dir.Names().size(), 1u);

        FakeExportIo cancelled;
        cancelled.format = format;
        cancelled.caption = dir.Slash() + "page.htm";
        cancelled.cancel_long_work = true;
        ExportSelection(cancelled);
        EXPECT_EQ(dir.Names().size(), 1u);
        EXPECT_FALSE(cancelled.clipboard.has_value());
        EXPECT_TRUE(cancelled.messages.empty());

        // Nothing of the cancelled text comes with the next export.
        cancelled.cancel_long_work = false;
        ExportSelection(cancelled);
        EXPECT_EQ(cancelled.clipboard, info.to_clipboard ? std::optional(text) : std::nullopt);
    }
}

TEST(ExportSelectionTest, LinkPageHeadingIsSixUtf8Bytes) {
    TempDir dir;
    FakeExportIo io;
    io.format = ExportFormat::StyledLinkPage;
    io.caption = dir.Slash() + "page.htm";
    ExportSelection(io);
    const std::string file = dir.Read("个性链接2022年3月9日8时5分7秒.html");
    EXPECT_NE(file.find("<h2>\xE5\xAF\xBC\xE5\x87\xBA</h2><TEXT>"), std::string::npos);
}

TEST(ExportSelectionTest, SecondExportInTheSameSecondGetsANumber) {
    TempDir dir;
    FakeExportIo io;
    io.caption = dir.Slash() + "page.htm";
    ExportSelection(io);
    io.selection = {2, 1, 2, 1};
    ExportSelection(io);
    EXPECT_EQ(dir.Read("文本2022年3月9日8时5分7秒.txt"),
              "<a href=\"/x\">中文</a>    /x    \r\nit's    a b    \r\n");
    EXPECT_EQ(dir.Read("文本2022年3月9日8时5分7秒 (2).txt"), "it's\r\n");
    EXPECT_EQ(io.messages.size(), 2u);
}

TEST(ExportSelectionTest, WriteFailureIsReportedNotDone) {
    TempDir dir;
    FakeExportIo io;
    io.caption = dir.Slash() + "gone/page.htm";
    ExportSelection(io);
    const std::string path = dir.Slash() + "gone/文本2022年3月9日8时5分7秒.txt";
    EXPECT_EQ(io.messages,
              (std::vector<Message>{
                  {"无法写入导出文件：" + path + "\r\n" + std::strerror(ENOENT), "错误", true}}));
    EXPECT_EQ(io.clipboard, BuildExportText(io.format, io.table, io.selection, io.roles));
}

// A disk that fills up fails the file, not the clipboard's text, which goes on to its end
// through the blocks after the one that failed.
class FullDisk : public PosixFileSystem {
  public:
    std::error_code WriteAll(int /*fd*/, std::string_view /*bytes*/) override {
        return std::make_error_code(std::errc::no_space_on_device);
    }
};

TEST(ExportSelectionTest, FullDiskStillFillsTheClipboard) {
    TempDir dir;
    class FullDiskIo : public FakeExportIo {
      public:
        FileSystem& Files() override { return full; }
        FullDisk full;
    } io;
    io.caption = dir.Slash() + "page.htm";
    const std::string long_cell(700'000, 'x');
    io.table = MakeTable({{"", "匹配文本"}, {"1", long_cell}, {"2", long_cell}, {"3", long_cell}});
    io.selection = {1, 1, 3, 1};
    ExportSelection(io);
    EXPECT_TRUE(dir.Names().empty());
    EXPECT_EQ(io.clipboard, BuildExportText(io.format, io.table, io.selection, io.roles));
    ASSERT_EQ(io.messages.size(), 1u);
    EXPECT_EQ(io.messages[0].text.rfind("无法写入导出文件：" + dir.Slash(), 0), 0u);
    EXPECT_NE(io.messages[0].text.find(std::strerror(ENOSPC)), std::string::npos);
}

TEST(ExportSelectionTest, WithoutDroppedFileWritesIntoCurrentDirectory) {
    TempDir dir;
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Slash());
    FakeExportIo io;  // caption "拖入文件"
    ExportSelection(io);
    std::filesystem::current_path(previous);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"文本2022年3月9日8时5分7秒.txt"}));
    EXPECT_EQ(
        io.messages,
        (std::vector<Message>{{"已导出到目录：\r\n文本2022年3月9日8时5分7秒.txt", "完成", false}}));
}

// Memory runs out once the temporary file holds part of the text.
class MemoryRunsOutWhileWriting : public PosixFileSystem {
  public:
    std::error_code WriteAll(int fd, std::string_view bytes) override {
        PosixFileSystem::WriteAll(fd, bytes.substr(0, bytes.size() / 2));
        throw std::bad_alloc();
    }
};

class OutOfMemoryIo : public FakeExportIo {
  public:
    FileSystem& Files() override { return writing_fails ? failing_files : SystemFiles(); }
    void AddClipboardText(std::string_view utf8) override {
        if (!writing_fails) throw std::bad_alloc();
        FakeExportIo::AddClipboardText(utf8);
    }
    bool writing_fails = true;
    MemoryRunsOutWhileWriting failing_files;
};

TEST(ExportSelectionTest, RunningOutOfMemoryLeavesEverythingAsItWas) {
    TempDir dir;
    for (const ExportFormat format : {ExportFormat::PlainText, ExportFormat::HtmlTable}) {
        OutOfMemoryIo writing;
        writing.format = format;
        writing.caption = dir.Slash() + "page.htm";
        writing.clipboard = "before";
        ExportSelection(writing);
        EXPECT_TRUE(dir.Names().empty());
        EXPECT_EQ(writing.clipboard, "before");
        EXPECT_EQ(writing.messages,
                  (std::vector<Message>{{"内存不足：无法完成导出，没有写入文件", "错误", true}}));
    }

    // The clipboard cannot take the text: it keeps its own, and the file is written anyway.
    OutOfMemoryIo clipboard;
    clipboard.writing_fails = false;
    clipboard.caption = dir.Slash() + "page.htm";
    ExportSelection(clipboard);
    EXPECT_EQ(dir.Names().size(), 1u);
    EXPECT_EQ(clipboard.messages,
              (std::vector<Message>{{"内存不足：无法把导出文本放到剪贴板", "错误", true},
                                    {"已导出到目录：" + dir.Slash() + "\r\n" + *dir.Names().begin(),
                                     "完成", false}}));
}

}  // namespace
}  // namespace lintaro
