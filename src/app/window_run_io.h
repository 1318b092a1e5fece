// The match run's inputs and outputs in the window: the controls it reads and writes.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

#include "base/work_progress.h"
#include "match/match_run.h"

class QCheckBox;
class QLineEdit;

namespace lintaro {

class CountLineLabel;
class DropZone;
class ResultTableView;

// Reads the pattern box, the case box and the drop zone's path into a run's request, and
// writes the count line and the table. The controls must outlive it.
class WindowRunIo final : public MatchRunOutput {
  public:
    WindowRunIo(const QLineEdit& pattern_edit, const QCheckBox& ignore_case_box,
                const DropZone& drop_zone, CountLineLabel& count_line, ResultTableView& table_view);

    // What the controls say now. The subject's character set is the one chosen by
    // ReadSubjectAs while the drop zone still names the file it was chosen for; empty (UTF-8)
    // otherwise.
    MatchRequest Request() const;
    // Shown at once, before the table is rebuilt; a notice may follow it afterwards.
    void SetCountLine(const std::string& line) override;
    void ReplaceTable(ResultTable&& table) override;

    // Reads the file the drop zone names now in charset (an iconv name) from the next run on.
    void ReadSubjectAs(const std::string& charset);
    // Goes back to UTF-8.
    void ReadSubjectAsUtf8();

  private:
    const QLineEdit& pattern_edit_;
    const QCheckBox& ignore_case_box_;
    const DropZone& drop_zone_;
    CountLineLabel& count_line_;
    ResultTableView& table_view_;
    std::string subject_charset_;
    QByteArray charset_path_;  // the file subject_charset_ was chosen for
};

// What the progress dialog says while a match run goes on.
QString DescribeMatchProgress(const WorkProgress& progress);

}  // namespace lintaro
