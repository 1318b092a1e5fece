// Tests of the window's Chinese words for system and program failures.
#include "app/system_error_words.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "base/error.h"

namespace lintaro {
namespace {

TEST(SystemErrorWords, GivesChineseWordsForTheFailuresAFileMeets) {
    const struct {
        std::error_code error;
        const char* words;
    } cases[] = {
        {SystemError(ENOENT), "文件或文件夹不存在"},
        {SystemError(EACCES), "没有权限"},
        {SystemError(EPERM), "不允许此操作"},
        {SystemError(EISDIR), "这是一个文件夹，不是文件"},
        {SystemError(ENOSPC), "磁盘空间不足"},
        {SystemError(EROFS), "文件系统是只读的"},
        {SystemError(EMFILE), "程序打开的文件太多"},
        {SystemError(ENOMEM), "内存不足"},
        {SystemError(EIO), "输入/输出错误"},
        {SystemError(ENAMETOOLONG), "文件名太长"},
        {SystemError(EMLINK), "链接太多"},
        {SystemError(ELOOP), "符号链接层数太多"},
        {make_error_code(LintaroError::kNotRegularFile), "不是普通文件"},
        {make_error_code(LintaroError::kOtherHardLinks), "文件还有其他硬链接，保持原样"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemErrorWords(c.error), QString::fromUtf8(c.words)) << c.error.message();
    }
}

TEST(SystemErrorWords, AnErrnoWithoutWordsGivesItsNumberAndTheSystemsWords) {
    const QString words = SystemErrorWords(SystemError(EDOM));
    EXPECT_EQ(words, QStringLiteral("系统错误 %1：%2")
                         .arg(QString::number(EDOM), QString::fromLocal8Bit(std::strerror(EDOM))));
    EXPECT_EQ(SystemErrorWords(SystemError(9999)).left(10), QStringLiteral("系统错误 9999："));
}

}  // namespace
}  // namespace lintaro
