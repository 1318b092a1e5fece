// Reading the subject file: the text a match run searches.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

#include "base/charset.h"
#include "base/file_system.h"
#include "base/text_buffer.h"
#include "base/work_progress.h"
#include "match/subject_decoder.h"

namespace lintaro {

// The drop zone's caption before any file is dropped (UTF-8). Reading it when no file of
// that name exists is not a failure: there is simply nothing to read yet.
inline constexpr const char* kNoFileCaption = "拖入文件";

// The most one read asks for, so that a cancel stops a huge read soon.
inline constexpr std::int64_t kReadPieceBytes = std::int64_t{64} << 20;

// How the subject file's bytes come into memory: copied into memory of the program's own, or
// mapped (see FileMapping), which is faster but lets the text change when another program
// writes into the file while it is held. A front end that keeps the text only while it runs
// can map it; one that shows it for as long as the user likes copies it.
enum class SubjectReading { kCopy, kMap };

// The subject file's bytes as they arrived and, when they are missing or short, why.
struct SubjectBytes {
    TextBuffer bytes;
    std::error_code error;  // why the file could not be read (wholly or in part), if it could not
    bool shrank = false;    // the file ended before the length it had when it was opened
};

// The subject text, why its file could not be read (if so), and where decoding stopped early.
struct SubjectText {
    TextBuffer text;
    std::error_code read_error;
    bool shrank = false;
    DecodedSubject::Cut cut = DecodedSubject::Cut::kNone;
    std::int64_t cut_offset = -1;  // byte offset in the file of the sequence that ended it
    std::int64_t replaced = 0;     // characters charset cannot hold, now "?"
};

// Reads the whole file at path (program text in charset) to its end, also past the length it
// reports (files under /proc report 0). A missing, unreadable or empty file gives no bytes; a
// file that ends early gives what arrived, with shrank set. The error says why, except for a
// missing file named kNoFileCaption. Throws std::bad_alloc when the bytes do not fit in memory.
// A cancel request of progress, looked at between reads of at most kReadPieceBytes, ends the
// read with what arrived. With SubjectReading::kMap, a file that reports a length of at least
// 256 KiB and can be mapped is mapped as long as it was when it was opened; any other is read.
SubjectBytes ReadSubjectBytes(const std::string& path, FileSystem& files = SystemFiles(),
                              const std::string& charset = ProgramCharset(),
                              const WorkProgress* progress = nullptr,
                              SubjectReading reading = SubjectReading::kCopy);

// Decodes the bytes into charset, keeping a reading error. The file is read as UTF-8 by the
// lenient rules of DecodeSubjectBytes when file_charset is empty or UTF-8, and from
// file_charset otherwise (DecodeCharsetBytes). Valid UTF-8 without NUL bytes becomes the text
// as it is, without a copy, when both are UTF-8.
SubjectText DecodeSubject(SubjectBytes bytes, const std::string& charset = ProgramCharset(),
                          const std::string& file_charset = {});

}  // namespace lintaro
