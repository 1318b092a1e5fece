// The short notice the window shows after a match run that failed or was cut short.
#pragma once

#include <QString>

#include "match/match_run.h"

namespace lintaro {

// A run's problem in words: brief follows the count line, detail goes into its tooltip.
// The detail's first line is our own wording and holds no "<" or "&", so the tooltip is
// never taken for rich text; the engine's message or the path follow on their own lines.
// Both are empty when the run had nothing to report.
struct RunNotice {
    QString brief;
    QString detail;
    // A failure or a cut-short run shows in red; a note on what an operation did in the
    // line's own colour.
    bool is_error = true;
    bool IsEmpty() const { return brief.isEmpty(); }
};

// Describes report; subject_path is the drop zone's caption the run read, charset the set it
// read the file in (empty: UTF-8, which goes unsaid).
RunNotice DescribeRun(const MatchReport& report, const QString& subject_path,
                      const QString& charset = {});

}  // namespace lintaro
