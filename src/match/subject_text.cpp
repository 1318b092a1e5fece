// Reading the subject file: the text a match run searches.
#include "match/subject_text.h"

#include <exception>
#include <utility>

#include "match/subject_decoder.h"

namespace lintaro {

namespace {

SubjectText Unreadable(std::string reason) {
    return {{}, MatchReport::Problem::kFileUnreadable, std::move(reason), -1};
}

}  // namespace

SubjectText ReadSubjectText(const std::string& path, const FileReader& reader,
                            const std::string& charset) {
    if (path.empty()) return Unreadable("no file named");
    FileReader::OpenResult opened = reader.Open(path);
    if (!opened.file) {
        if (opened.not_found && path == Utf8ToCharset(kNoFileCaption, charset)) return {};
        return Unreadable(opened.error);
    }

    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(opened.file->Size()));
    } catch (const std::exception&) {
        return Unreadable("the file is too large to hold in memory");
    }
    std::string read_error;
    std::size_t arrived = 0;
    while (arrived < bytes.size()) {
        const OpenedFile::ReadResult result = opened.file->Read(
            bytes.data() + arrived, static_cast<std::int64_t>(bytes.size() - arrived));
        if (!result.error.empty()) read_error = result.error;
        if (result.count <= 0) break;
        arrived += static_cast<std::size_t>(result.count);
    }
    bytes.resize(arrived);

    DecodedSubject decoded = DecodeSubjectBytes(std::move(bytes), charset);
    SubjectText subject{std::move(decoded.text), MatchReport::Problem::kNone, {}, -1};
    if (!read_error.empty()) {
        // What arrived before the failure is still searched.
        subject.problem = MatchReport::Problem::kFileUnreadable;
        subject.detail = read_error;
    } else if (decoded.cut != DecodedSubject::Cut::kNone) {
        subject.problem = decoded.cut == DecodedSubject::Cut::kMalformed
                              ? MatchReport::Problem::kTextCutMalformed
                              : MatchReport::Problem::kTextCutNul;
        subject.position = decoded.cut_offset;
    }
    return subject;
}

}  // namespace lintaro
