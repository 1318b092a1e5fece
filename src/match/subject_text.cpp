// Reading the subject file: the text a match run searches.
#include "match/subject_text.h"

#include <exception>
#include <utility>

#include "match/subject_decoder.h"
#include "table/huge_pages.h"

namespace lintaro {

namespace {

SubjectBytes Unreadable(std::string reason) {
    return {{}, MatchReport::Problem::kFileUnreadable, std::move(reason)};
}

}  // namespace

SubjectBytes ReadSubjectBytes(const std::string& path, const FileReader& reader,
                              const std::string& charset) {
    if (path.empty()) return Unreadable("no file named");
    FileReader::OpenResult opened = reader.Open(path);
    if (!opened.file) {
        if (opened.not_found && path == Utf8ToCharset(kNoFileCaption, charset)) return {};
        return Unreadable(opened.error);
    }

    SubjectBytes read;
    std::string& bytes = read.bytes;
    try {
        const auto size = static_cast<std::size_t>(opened.file->Size());
        // Advised before the first touch: filling ordinary fresh pages costs more than the read.
        bytes.reserve(size);
        AdviseHugePages(bytes.data(), bytes.capacity());
        bytes.resize(size);
    } catch (const std::exception&) {
        return Unreadable("the file is too large to hold in memory");
    }
    std::size_t arrived = 0;
    while (arrived < bytes.size()) {
        const OpenedFile::ReadResult result = opened.file->Read(
            bytes.data() + arrived, static_cast<std::int64_t>(bytes.size() - arrived));
        if (!result.error.empty()) {
            // What arrived before the failure is still searched.
            read.problem = MatchReport::Problem::kFileUnreadable;
            read.detail = result.error;
        }
        if (result.count <= 0) break;
        arrived += static_cast<std::size_t>(result.count);
    }
    bytes.resize(arrived);
    return read;
}

SubjectText DecodeSubject(SubjectBytes bytes, const std::string& charset) {
    DecodedSubject decoded = DecodeSubjectBytes(std::move(bytes.bytes), charset);
    SubjectText subject{std::move(decoded.text), bytes.problem, std::move(bytes.detail), -1};
    if (subject.problem == MatchReport::Problem::kNone &&
        decoded.cut != DecodedSubject::Cut::kNone) {
        subject.problem = decoded.cut == DecodedSubject::Cut::kMalformed
                              ? MatchReport::Problem::kTextCutMalformed
                              : MatchReport::Problem::kTextCutNul;
        subject.position = decoded.cut_offset;
    }
    return subject;
}

SubjectText ReadSubjectText(const std::string& path, const FileReader& reader,
                            const std::string& charset) {
    return DecodeSubject(ReadSubjectBytes(path, reader, charset), charset);
}

}  // namespace lintaro
