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

// The subject text and, when it is empty or short, why: kFileUnreadable (detail: the reason),
// kTextCutMalformed or kTextCutNul (position: byte offset in the file).
struct SubjectText {
    std::string text;
    MatchReport::Problem problem = MatchReport::Problem::kNone;
    std::string detail;
    std::int64_t position = -1;
};

// Reads the whole file at path (program text) and decodes it from UTF-8 into charset (see
// DecodeSubjectBytes). A missing, unreadable or empty file gives the empty text; a file that
// arrives shorter than its length gives what arrived. The problem says why, except for a
// missing file named kNoFileCaption.
SubjectText ReadSubjectText(const std::string& path, const FileReader& reader = SystemFileReader(),
                            const std::string& charset = ProgramCharset());

}  // namespace lintaro
