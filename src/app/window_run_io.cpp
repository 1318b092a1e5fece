// The match run's inputs and outputs in the window: the controls it reads and writes.
#include "app/window_run_io.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cstdint>
#include <utility>

#include "app/count_line_label.h"
#include "app/drop_zone.h"
#include "table/qt_conversions.h"
#include "table/result_table_model.h"
#include "table/result_table_view.h"

namespace lintaro {

WindowRunIo::WindowRunIo(const QLineEdit& pattern_edit, const QCheckBox& ignore_case_box,
                         const DropZone& drop_zone, CountLineLabel& count_line,
                         ResultTableView& table_view)
    : pattern_edit_(pattern_edit),
      ignore_case_box_(ignore_case_box),
      drop_zone_(drop_zone),
      count_line_(count_line),
      table_view_(table_view) {}

MatchRequest WindowRunIo::Request() const {
    return {
        .pattern = pattern_edit_.text().toStdString(),
        .ignore_case = ignore_case_box_.isChecked(),
        // The bytes the system gave, not the caption: a name that is not in the locale's set
        // would not survive the way through text.
        .subject_path = drop_zone_.Path().toStdString(),
        .subject_charset = drop_zone_.Path() == charset_path_ ? subject_charset_ : std::string(),
        .heading_width = table_view_.HeadingWidth(),
    };
}

void WindowRunIo::ReadSubjectAs(const std::string& charset) {
    subject_charset_ = charset;
    charset_path_ = drop_zone_.Path();
}

void WindowRunIo::ReadSubjectAsUtf8() {
    subject_charset_.clear();
    charset_path_.clear();
}

void WindowRunIo::SetCountLine(const std::string& line) {
    count_line_.SetCountLine(ProgramTextToQString(line));
}

void WindowRunIo::ReplaceTable(ResultTable&& table) {
    table_view_.Model()->ReplaceTable(std::move(table));
}

QString DescribeMatchProgress(const WorkProgress& progress) {
    const std::int64_t total = progress.Total();
    if (total == 0) return QStringLiteral("正在读取文件……");
    if (progress.Done() >= total) return QStringLiteral("正在生成表格……");
    return QStringLiteral("正在匹配：已搜索 %1%，已找到 %2 处匹配")
        .arg(progress.Done() * 100 / total)
        .arg(progress.Found());
}

}  // namespace lintaro
