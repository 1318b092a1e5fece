// The short notice the window shows after a match run that failed or was cut short.
#include "app/run_notice.h"

#include "app/system_error_words.h"
#include "base/charset.h"
#include "table/qt_conversions.h"

namespace lintaro {

namespace {

QString StageWords(MatchStage stage) {
    switch (stage) {
        case MatchStage::kRead:
            return QStringLiteral("读取文件");
        case MatchStage::kDecode:
            return QStringLiteral("解码文本");
        case MatchStage::kSearch:
            return QStringLiteral("查找匹配");
        case MatchStage::kTable:
            return QStringLiteral("生成表格");
    }
    return {};
}

// The engine's own message is English; it follows our sentence as the detail.
RunNotice EngineGaveUp(std::int64_t match_count, const QString& message) {
    const QString count = QString::number(match_count);
    return {QStringLiteral("匹配引擎在 %1 处匹配后放弃").arg(count),
            QStringLiteral("匹配引擎在 %1 处匹配后放弃，只列出了此前找到的匹配。\n"
                           "这个表达式在此文本上要尝试的组合太多（常见于嵌套的重复，如 (a+)+），"
                           "引擎为免耗时过久而停止；请把表达式写得更确定些。\n"
                           "引擎的说明：\n%2")
                .arg(count, message)};
}

RunNotice DescribeProblem(const MatchReport& report, const QString& subject_path,
                          const QString& charset) {
    const QString detail = ProgramTextToQString(report.detail);
    const QString offset = QString::number(report.position);
    switch (report.problem) {
        case MatchReport::Problem::kNone:
            return {};
        case MatchReport::Problem::kPatternInvalid: {
            const QString where =
                report.position >= 0 ? QStringLiteral("（位置 %1）").arg(offset) : QString();
            return {QStringLiteral("正则表达式无法编译：%1").arg(detail),
                    QStringLiteral("正则表达式无法编译%1：\n%2").arg(where, detail)};
        }
        case MatchReport::Problem::kPatternUnheld: {
            // The character is UTF-8: the program's text cannot hold it.
            const QString character = QString::fromStdString(report.detail);
            const QString program_charset = QString::fromStdString(ProgramCharset());
            return {QStringLiteral("正则表达式中的字符“%1”无法用 %2 表示")
                        .arg(character, program_charset),
                    QStringLiteral("正则表达式中的字符“%1”无法用本机字符集 %2 表示，没有匹配。")
                        .arg(character, program_charset)};
        }
        case MatchReport::Problem::kFileUnreadable: {
            const QString reason = SystemErrorWords(report.error);
            return {QStringLiteral("无法读取文件：%1").arg(reason),
                    QStringLiteral("无法读取文件：\n%1\n%2").arg(subject_path, reason)};
        }
        case MatchReport::Problem::kTextCutMalformed:
            return {QStringLiteral("文本在字节偏移 %1 处截断：不是有效的 %2").arg(offset, charset),
                    QStringLiteral("文件在字节偏移 %1 处不是有效的 %2，只匹配了此前的文本：\n%3")
                        .arg(offset, charset, subject_path)};
        case MatchReport::Problem::kTextCutNul:
            return {QStringLiteral("文本在字节偏移 %1 处截断：遇到 NUL 字节").arg(offset),
                    QStringLiteral("文件在字节偏移 %1 处有 NUL 字节，只匹配了此前的文本：\n%2")
                        .arg(offset, subject_path)};
        case MatchReport::Problem::kEngineGaveUp:
            return EngineGaveUp(report.match_count, detail);
        case MatchReport::Problem::kOutOfMemory: {
            const QString doing = StageWords(report.stage);
            return {QStringLiteral("内存不足：%1").arg(doing),
                    QStringLiteral("%1时内存不足，表格保留了上次的结果：\n%2")
                        .arg(doing, subject_path)};
        }
    }
    return {};
}

// Both notices, first before second; an error when either is one.
RunNotice Joined(const RunNotice& first, const RunNotice& second) {
    if (first.IsEmpty()) return second;
    if (second.IsEmpty()) return first;
    const bool information =
        first.kind == NoticeKind::kInformation && second.kind == NoticeKind::kInformation;
    return {first.brief + QStringLiteral("；") + second.brief,
            first.detail + QStringLiteral("\n") + second.detail,
            information ? NoticeKind::kInformation : NoticeKind::kError};
}

// What went wrong beside the report's problem.
RunNotice DescribeAlso(const MatchReport& report, const QString& subject_path) {
    RunNotice notice;
    if (report.replaced_characters > 0) {
        const QString count = QString::number(report.replaced_characters);
        const QString charset = QString::fromStdString(ProgramCharset());
        notice = {QStringLiteral("%1 个字符无法用 %2 表示，已换成“?”").arg(count, charset),
                  QStringLiteral("文件中有 %1 个字符无法用本机字符集 %2 表示，"
                                 "在表格和导出中已换成“?”。")
                      .arg(count, charset)};
    }
    if (report.file_shrank) {
        notice = Joined(
            notice,
            {QStringLiteral("文件在读取时被截断"),
             QStringLiteral("文件在读取时被截断，只匹配了读到的文本：\n%1").arg(subject_path)});
    }
    const bool cut = report.problem == MatchReport::Problem::kTextCutMalformed ||
                     report.problem == MatchReport::Problem::kTextCutNul;
    if (cut && report.engine_gave_up) {
        notice = Joined(
            notice, EngineGaveUp(report.match_count, ProgramTextToQString(report.engine_message)));
    }
    return notice;
}

}  // namespace

RunNotice DescribeRun(const MatchReport& report, const QString& subject_path,
                      const QString& charset) {
    const QString read_as = charset.isEmpty() ? QStringLiteral("UTF-8") : charset;
    RunNotice notice =
        Joined(DescribeProblem(report, subject_path, read_as), DescribeAlso(report, subject_path));
    if (!charset.isEmpty()) {
        // The user chose the set; the count line says so for as long as it is used.
        notice = Joined({QStringLiteral("按 %1 读取").arg(charset),
                         QStringLiteral("文件按 %1 读取。").arg(charset), NoticeKind::kInformation},
                        notice);
    }
    if (!report.cancelled) return notice;
    const QString count = QString::number(report.match_count);
    // The user asked for it: nothing went wrong.
    RunNotice cancelled{QStringLiteral("已取消：列出了取消前找到的 %1 处匹配").arg(count),
                        QStringLiteral("匹配已取消，只列出了取消前找到的 %1 处匹配。").arg(count),
                        NoticeKind::kInformation};
    return Joined(cancelled, notice);
}

}  // namespace lintaro
