// The character set of a file to search, as --encoding=auto chooses it and as the file declares.
#include "cli/file_charset.h"

#include <cctype>

#include "base/charset.h"
#include "base/utf8_sequence.h"
#include "match/likely_charset.h"
#include "match/subject_text.h"

namespace lintaro {

namespace {

// The file's bytes, mapped rather than copied.
SubjectBytes MappedBytes(const std::string& path) {
    return ReadSubjectBytes(path, SystemFiles(), ProgramCharset(), nullptr, SubjectReading::kMap);
}

}  // namespace

std::string AutoCharset(std::string_view bytes) {
    const std::string declared = DeclaredCharset(bytes);
    // Text that is UTF-8 and says nothing else is UTF-8, though GB18030 might decode it too.
    if ((declared.empty() || IsUtf8Charset(declared)) &&
        WellFormedUtf8Prefix(bytes) == bytes.size()) {
        return {};
    }
    return LikelyCharset(bytes);
}

std::string AutoCharsetOfFile(const std::string& path) {
    return AutoCharset(MappedBytes(path).bytes.View());
}

std::string DeclaredOtherCharsetOfFile(const std::string& path) {
    std::string declared = DeclaredCharset(MappedBytes(path).bytes.View());
    if (IsUtf8Charset(declared)) return {};
    for (char& letter : declared) {
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    }
    return declared;
}

}  // namespace lintaro
