// White space in a cell made tidy: anchor texts often span lines and carry indentation.
#include "table/white_space_trim.h"

namespace lintaro {

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == '\v';
}

}  // namespace

std::string TrimWhiteSpace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool space_pending = false;
    for (const char c : text) {
        if (IsWhiteSpace(c)) {
            space_pending = !out.empty();
            continue;
        }
        if (space_pending) out += ' ';
        space_pending = false;
        out += c;
    }
    return out;
}

bool IsTrimmed(std::string_view text) {
    bool after_space = true;  // the start counts as one: no white space may follow it
    for (const char c : text) {
        if (IsWhiteSpace(c)) {
            if (c != ' ' || after_space) return false;
            after_space = true;
        } else {
            after_space = false;
        }
    }
    return !after_space || text.empty();
}

}  // namespace lintaro
