// The window's words for a failure the system or the program reports.
#include "app/system_error_words.h"

#include <cerrno>

#include "base/error.h"
#include "table/qt_conversions.h"

namespace lintaro {

namespace {

struct ErrnoWords {
    int value;
    const char* words;
};

// The failures opening, reading and writing a file can meet.
constexpr ErrnoWords kErrnoWords[] = {
    {ENOENT, "文件或文件夹不存在"},
    {EACCES, "没有权限"},
    {EPERM, "不允许此操作"},
    {EISDIR, "这是一个文件夹，不是文件"},
    {ENOTDIR, "路径中有一段不是文件夹"},
    {ENOSPC, "磁盘空间不足"},
    {EDQUOT, "超出磁盘配额"},
    {EROFS, "文件系统是只读的"},
    {EMFILE, "程序打开的文件太多"},
    {ENFILE, "系统打开的文件太多"},
    {ENOMEM, "内存不足"},
    {EIO, "输入/输出错误"},
    {ENAMETOOLONG, "文件名太长"},
    {ELOOP, "符号链接层数太多"},
    {EMLINK, "链接太多"},
    {EFBIG, "文件太大"},
    {EOVERFLOW, "文件太大，无法处理"},
    {EEXIST, "文件已存在"},
    {EBUSY, "设备或资源正忙"},
    {ETXTBSY, "文件正被使用"},
    {EXDEV, "不能跨文件系统操作"},
    {ENXIO, "没有这个设备或地址"},
    {ENODEV, "没有这个设备"},
    {EAGAIN, "资源暂时不可用"},
    {EINTR, "操作被中断"},
    {EINVAL, "参数无效"},
    {ESTALE, "网络文件已失效"},
    {ETIMEDOUT, "操作超时"},
    {EBADF, "文件描述符无效"},
};

QString LintaroErrorWords(LintaroError error) {
    switch (error) {
        case LintaroError::kNotRegularFile:
            return QStringLiteral("不是普通文件");
        case LintaroError::kNoFileNamed:
            return QStringLiteral("没有给出文件名");
        case LintaroError::kOtherHardLinks:
            return QStringLiteral("文件还有其他硬链接，保持原样");
        case LintaroError::kEndlessDevice:
            return QStringLiteral("这是一个读不完的设备");
    }
    return {};
}

}  // namespace

QString SystemErrorWords(const std::error_code& error) {
    if (error.category() == std::system_category()) {
        for (const ErrnoWords& entry : kErrnoWords) {
            if (entry.value == error.value()) return QString::fromUtf8(entry.words);
        }
        return QStringLiteral("系统错误 %1：%2")
            .arg(QString::number(error.value()), ProgramTextToQString(ErrorText(error)));
    }
    if (error.category() == LintaroCategory()) {
        QString words = LintaroErrorWords(static_cast<LintaroError>(error.value()));
        if (!words.isEmpty()) return words;
    }
    return ProgramTextToQString(ErrorText(error));
}

}  // namespace lintaro
