// The batch program's words on standard error: what went wrong with a file's run, and with its
// output.
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "match/match_run.h"

namespace lintaro {

// What a run's report says about one file.
struct RunDiagnosis {
    // Each line without the program's name in front and without its line feed; a warning's
    // starts with "warning: ".
    std::vector<std::string> lines;
    // True when the file's result is lost (an error), false when it stands, maybe short.
    bool lost = false;
};

// The diagnosis of a run over the file name names (its path, or "standard input"), read in
// encoding (empty: UTF-8). A cancelled run was stopped by --timeout after timeout_seconds.
// declared: the set the file declares, which the warning for a cut UTF-8 text offers.
RunDiagnosis DiagnoseRun(const MatchReport& report, const std::string& name,
                         const std::string& encoding, double timeout_seconds,
                         const std::string& declared = {});

// How messages name a file: its path, or "standard input" for "-".
std::string MessageName(const std::string& path);

// The file name names was cut after its search, while its rows were written: they hold zero
// bytes where its text was lost.
std::string CutWhileWrittenLine(const std::string& name);

// The output could not be written to destination (a path, or "standard output").
std::string WriteFailureLine(const std::string& destination, const std::error_code& error);

}  // namespace lintaro
