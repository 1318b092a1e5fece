// Tests of the notice that follows the count line after a failed or shortened match run.
#include "app/run_notice.h"

#include <QPalette>

#include <QTextDocument>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "app/count_line_label.h"

namespace lintaro {
namespace {

struct NoticeCase {
    const char* name;
    MatchReport report;
    const char* brief;
    const char* detail;
    const char* charset = "";  // the set the run read the file in; empty: UTF-8
    NoticeKind kind = NoticeKind::kError;
};

class RunNoticeTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(RunNoticeTest, DescribesTheProblem) {
    const NoticeCase& c = GetParam();
    const RunNotice notice =
        DescribeRun(c.report, QStringLiteral("/data/页面.html"), QString::fromUtf8(c.charset));
    EXPECT_EQ(notice.brief, QString::fromUtf8(c.brief));
    EXPECT_EQ(notice.detail, QString::fromUtf8(c.detail));
    EXPECT_EQ(notice.IsEmpty(), *c.brief == '\0');
    if (!notice.IsEmpty()) {
        EXPECT_EQ(notice.kind, c.kind);
    }
}

// An error stands out from the window's text whatever its background; information does not.
TEST(RunNoticeTest, OnlyAnErrorHasAColourOfItsOwn) {
    QPalette light;
    light.setColor(QPalette::Window, QColor(219, 236, 249));
    light.setColor(QPalette::WindowText, Qt::black);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(49, 54, 59));
    dark.setColor(QPalette::WindowText, QColor(239, 240, 241));
    EXPECT_EQ(CountLineLabel::NoticeColour(NoticeKind::kInformation, light), std::nullopt);
    EXPECT_EQ(CountLineLabel::NoticeColour(NoticeKind::kInformation, dark), std::nullopt);
    EXPECT_EQ(CountLineLabel::NoticeColour(NoticeKind::kError, light), QColor(208, 0, 0));
    const std::optional<QColor> on_dark = CountLineLabel::NoticeColour(NoticeKind::kError, dark);
    ASSERT_TRUE(on_dark.has_value());
    EXPECT_GT(on_dark->lightness(), 128);
    EXPECT_GT(on_dark->red(), on_dark->green() + 64);
}

TEST(RunNoticeTest, MarkupInAMessageLeavesTheTooltipPlainText) {
    const MatchReport report{MatchReport::Problem::kPatternInvalid,
                             "Unmatched ( in '<A HREF=\"x>>>HERE>>>'", 0, 0};
    EXPECT_FALSE(Qt::mightBeRichText(DescribeRun(report, QString()).detail));
}

// What the detail says about an engine that gave up, before the engine's own words.
#define ENGINE_EXPLAINED                                                                                  \
    "这个表达式在此文本上要尝试的组合太多（常见于嵌套的重复，如 (a+)+），" \
    "引擎为免耗时过久而停止；请把表达式写得更确定些。\n"                          \
    "引擎的说明：\n"

using Problem = MatchReport::Problem;
using Stage = MatchStage;

INSTANTIATE_TEST_SUITE_P(
    Problems, RunNoticeTest,
    ::testing::Values(
        NoticeCase{"NoProblem", {Problem::kNone, "", -1, 3}, "", ""},
        NoticeCase{"PatternInvalid",
                   {Problem::kPatternInvalid, "Unmatched marking parenthesis", 4, 0},
                   "正则表达式无法编译：Unmatched marking parenthesis",
                   "正则表达式无法编译（位置 4）：\nUnmatched marking parenthesis"},
        NoticeCase{"PatternInvalidWithoutPosition",
                   {Problem::kPatternInvalid, "Empty expression", -1, 0},
                   "正则表达式无法编译：Empty expression",
                   "正则表达式无法编译：\nEmpty expression"},
        NoticeCase{"FileUnreadable",
                   {Problem::kFileUnreadable, "", -1, 0, false, SystemError(EACCES)},
                   "无法读取文件：没有权限",
                   "无法读取文件：\n/data/页面.html\n没有权限"},
        NoticeCase{"CutAtMalformedByte",
                   {Problem::kTextCutMalformed, "", 5000000000, 7},
                   "文本在字节偏移 5000000000 处截断：不是有效的 UTF-8",
                   "文件在字节偏移 5000000000 处不是有效的 UTF-8，只匹配了此前的文本：\n"
                   "/data/页面.html"},
        NoticeCase{"CutAtNul",
                   {Problem::kTextCutNul, "", 2, 0},
                   "文本在字节偏移 2 处截断：遇到 NUL 字节",
                   "文件在字节偏移 2 处有 NUL 字节，只匹配了此前的文本：\n/data/页面.html"},
        NoticeCase{"EngineGaveUp",
                   {Problem::kEngineGaveUp, "too complex", -1, 12},
                   "匹配引擎在 12 处匹配后放弃",
                   "匹配引擎在 12 处匹配后放弃，只列出了此前找到的匹配。\n" ENGINE_EXPLAINED
                   "too complex"},
        NoticeCase{"OutOfMemoryBuildingTheTable",
                   {Problem::kOutOfMemory, "", -1, 0, false, {}, Stage::kTable},
                   "内存不足：生成表格",
                   "生成表格时内存不足，表格保留了上次的结果：\n/data/页面.html"},
        NoticeCase{"FileShrankWhileRead",
                   {Problem::kNone, "", -1, 2, false, {}, Stage::kRead, true},
                   "文件在读取时被截断",
                   "文件在读取时被截断，只匹配了读到的文本：\n/data/页面.html"},
        // The engine gave up before the cut: matches before the cut may be missing too.
        NoticeCase{"CutAndEngineGaveUp",
                   {Problem::kTextCutMalformed,
                    "",
                    42,
                    1,
                    false,
                    {},
                    Stage::kRead,
                    false,
                    true,
                    "too complex"},
                   "文本在字节偏移 42 处截断：不是有效的 UTF-8；匹配引擎在 1 处匹配后放弃",
                   "文件在字节偏移 42 处不是有效的 UTF-8，只匹配了此前的文本：\n/data/页面.html\n"
                   "匹配引擎在 1 处匹配后放弃，只列出了此前找到的匹配。\n" ENGINE_EXPLAINED
                   "too complex"},
        NoticeCase{"Cancelled",
                   {Problem::kNone, "", -1, 40, true},
                   "已取消：列出了取消前找到的 40 处匹配",
                   "匹配已取消，只列出了取消前找到的 40 处匹配。",
                   "",
                   NoticeKind::kInformation},
        NoticeCase{"CancelledAfterACut",
                   {Problem::kTextCutNul, "", 2, 1, true},
                   "已取消：列出了取消前找到的 1 处匹配；文本在字节偏移 2 处截断：遇到 NUL 字节",
                   "匹配已取消，只列出了取消前找到的 1 处匹配。\n"
                   "文件在字节偏移 2 处有 NUL 字节，只匹配了此前的文本：\n/data/页面.html"},
        // The program's text is UTF-8 in the tests, so that is the set named.
        NoticeCase{"PatternUnheld",
                   {Problem::kPatternUnheld, "😀", -1, 0},
                   "正则表达式中的字符“😀”无法用 UTF-8 表示",
                   "正则表达式中的字符“😀”无法用本机字符集 UTF-8 表示，没有匹配。"},
        NoticeCase{"CharactersReplaced",
                   {Problem::kNone, "", -1, 2, false, {}, Stage::kRead, false, false, "", 4},
                   "4 个字符无法用 UTF-8 表示，已换成“?”",
                   "文件中有 4 个字符无法用本机字符集 UTF-8 表示，在表格和导出中已换成“?”。"},
        NoticeCase{"ReadInAChosenSet",
                   {Problem::kNone, "", -1, 2},
                   "按 GB18030 读取",
                   "文件按 GB18030 读取。",
                   "GB18030",
                   NoticeKind::kInformation},
        NoticeCase{"CutInAChosenSet",
                   {Problem::kTextCutMalformed, "", 9, 0},
                   "按 GBK 读取；文本在字节偏移 9 处截断：不是有效的 GBK",
                   "文件按 GBK 读取。\n文件在字节偏移 9 处不是有效的 GBK，只匹配了此前的文本：\n"
                   "/data/页面.html",
                   "GBK"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace lintaro
