// The short notice the window shows after a match run that failed or was cut short.
#pragma once

#include <QString>

#include "match/match_run.h"

namespace lintaro {

// What a notice tells: that something went wrong, or only how the work was done.
enum class NoticeKind {
    kError,        // a failure or a loss: shown in the error colour
    kInformation,  // an account of what was done: shown in the ordinary text colour
};

// A run's problem in words: brief follows the count line, detail goes into its tooltip.
// The detail's first line is our own wording and holds no "<" or "&", so the tooltip is
// never taken for rich text; the engine's message or the path follow on their own lines.
// Both are empty when the run had nothing to report.
struct RunNotice {
    QString brief;
    QString detail;
    NoticeKind kind = NoticeKind::kError;
    bool IsEmpty() const { return brief.isEmpty(); }
};

// Describes report; subject_path is the drop zone's caption the run read, charset the set it
// read the file in (empty: UTF-8, which goes unsaid).
RunNotice DescribeRun(const MatchReport& report, const QString& subject_path,
                      const QString& charset = {});

}  // namespace lintaro
