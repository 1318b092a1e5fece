// Reading the subject file: the text a match run searches.
#pragma once

#include <cstdint>
#include <string>

#include "match/file_reader.h"
#include "match/match_run.h"
#include "match/program_text.h"

namespace lintaro {

// The drop zone's caption before any file is dropped (UTF-8). Reading it when no file of
// that name exists is not a failure: there is simply nothing to read yet.
inline constexpr const char* kNoFileCaption = "拖入文件";

// The subject file's bytes as they arrived and, when they are missing or short, why:
// kFileUnreadable with the reason in detail.
struct SubjectBytes {
    std::string bytes;
    MatchReport::Problem problem = MatchReport::Problem::kNone;
    std::string detail;
};

// The subject text and, when it is empty or short, why: kFileUnreadable (detail: the reason),
// kTextCutMalformed or kTextCutNul (position: byte offset in the file).
struct SubjectText {
    std::string text;
    MatchReport::Problem problem = MatchReport::Problem::kNone;
    std::string detail;
    std::int64_t position = -1;
};

// Reads the whole file at path (program text in charset) in one go. A missing, unreadable or
// empty file gives no bytes; a file that arrives shorter than its length gives what arrived.
// The problem says why, except for a missing file named kNoFileCaption.
SubjectBytes ReadSubjectBytes(const std::string& path,
                              const FileReader& reader = SystemFileReader(),
                              const std::string& charset = ProgramCharset());

// Decodes the bytes from UTF-8 into charset (see DecodeSubjectBytes), keeping a reading problem.
// Valid UTF-8 without NUL bytes becomes the text as it is, without a copy, when charset is UTF-8.
SubjectText DecodeSubject(SubjectBytes bytes, const std::string& charset = ProgramCharset());

// ReadSubjectBytes, then DecodeSubject.
SubjectText ReadSubjectText(const std::string& path, const FileReader& reader = SystemFileReader(),
                            const std::string& charset = ProgramCharset());

}  // namespace lintaro
