// The batch program's words on standard error.
#include "cli/cli_messages.h"

#include <sstream>
#include <utility>

#include "base/error.h"
#include "base/program_text.h"
#include "cli/standard_input_files.h"

namespace lintaro {

namespace {

const char* StageWords(MatchStage stage) {
    switch (stage) {
        case MatchStage::kRead:
            return "reading the file";
        case MatchStage::kDecode:
            return "decoding the text";
        case MatchStage::kSearch:
            return "searching";
        case MatchStage::kTable:
            return "building the table";
    }
    return "matching";
}

// Why the pattern was refused: a character the program's text cannot hold, or a byte that is
// not UTF-8 (shown in hex).
std::string UnheldPatternText(const std::string& character) {
    const auto byte = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && byte >= 0x80) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        return std::string("the pattern is not UTF-8: it holds the byte \\x") + kDigits[byte >> 4] +
               kDigits[byte & 0xF];
    }
    return "the pattern holds " + character + ", which the locale's character set " +
           ProgramCharset() + " cannot hold";
}

// The line for the report's problem, if it has one.
std::string ProblemLine(const MatchReport& report, const std::string& name,
                        const std::string& encoding, const std::string& declared) {
    const std::string at_byte = " at byte " + std::to_string(report.position);
    switch (report.problem) {
        case MatchReport::Problem::kNone:
            return {};
        case MatchReport::Problem::kFileUnreadable:
            return "cannot read " + name + ": " + ErrorText(report.error);
        case MatchReport::Problem::kPatternInvalid:
            return "the pattern does not compile: " + report.detail;
        case MatchReport::Problem::kPatternUnheld:
            return UnheldPatternText(report.detail);
        case MatchReport::Problem::kTextCutMalformed:
            return "warning: " + name + " is not valid " + (encoding.empty() ? "UTF-8" : encoding) +
                   at_byte + "; only the text before it was searched" +
                   (encoding.empty() && !declared.empty()
                        ? "; it declares " + declared + ": try --encoding=" + declared
                        : "");
        case MatchReport::Problem::kTextCutNul:
            return "warning: " + name + " holds a NUL byte" + at_byte +
                   "; only the text before it was searched";
        case MatchReport::Problem::kEngineGaveUp:
            return "warning: the regular-expression engine gave up after " +
                   std::to_string(report.match_count) + " matches: " + report.detail;
        case MatchReport::Problem::kOutOfMemory:
            return std::string("out of memory while ") + StageWords(report.stage);
    }
    return {};
}

bool LosesTheResult(MatchReport::Problem problem) {
    return problem == MatchReport::Problem::kFileUnreadable ||
           problem == MatchReport::Problem::kPatternInvalid ||
           problem == MatchReport::Problem::kPatternUnheld ||
           problem == MatchReport::Problem::kOutOfMemory;
}

}  // namespace

RunDiagnosis DiagnoseRun(const MatchReport& report, const std::string& name,
                         const std::string& encoding, double timeout_seconds,
                         const std::string& declared) {
    RunDiagnosis diagnosis;
    diagnosis.lost = LosesTheResult(report.problem);
    if (std::string line = ProblemLine(report, name, encoding, declared); !line.empty()) {
        diagnosis.lines.push_back(std::move(line));
    }
    // What went wrong beside the problem.
    if (report.replaced_characters > 0) {
        diagnosis.lines.push_back("warning: " + std::to_string(report.replaced_characters) +
                                  " characters of " + name +
                                  " cannot be held in the locale's character set " +
                                  ProgramCharset() + " and were replaced by \"?\"");
    }
    if (report.file_shrank) {
        diagnosis.lines.push_back(
            "warning: " + name +
            " was truncated while it was read; only the text that arrived was searched");
    }
    const bool cut = report.problem == MatchReport::Problem::kTextCutMalformed ||
                     report.problem == MatchReport::Problem::kTextCutNul;
    if (cut && report.engine_gave_up) {
        diagnosis.lines.push_back("warning: the regular-expression engine also gave up after " +
                                  std::to_string(report.match_count) +
                                  " matches, before the cut: " + report.engine_message);
    }
    if (report.cancelled) {
        // What was found until then is printed all the same; the status says it is short.
        std::ostringstream seconds;
        seconds << timeout_seconds;
        diagnosis.lines.push_back("warning: the run was stopped after --timeout " + seconds.str() +
                                  " s; only the " + std::to_string(report.match_count) +
                                  " matches found until then are printed");
    }
    return diagnosis;
}

std::string MessageName(const std::string& path) {
    return path == kStandardInputName ? "standard input" : path;
}

std::string CutWhileWrittenLine(const std::string& name) {
    return name + " was truncated while its output was written: the output holds zero bytes " +
           "where the lost text was";
}

std::string WriteFailureLine(const std::string& destination, const std::error_code& error) {
    return "cannot write " + destination + ": " + ErrorText(error);
}

}  // namespace lintaro
