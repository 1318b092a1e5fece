// What the table shows of a cell, on screen and in its tooltip: the text up to a bound.
#include "table/shown_cell_text.h"

#include <algorithm>
#include <cstddef>

#include "table/qt_conversions.h"

namespace lintaro {

namespace {

// A character takes at most four bytes in any set the program runs in; one character more
// than shown tells that the text goes on.
constexpr std::size_t kConvertedBytes = (kShownCellCharacters + 1) * 4;

}  // namespace

QString ShownCellText(std::string_view text) {
    QString shown = ProgramTextToQString(text.substr(0, kConvertedBytes));
    if (shown.size() <= kShownCellCharacters && text.size() <= kConvertedBytes) return shown;
    qsizetype kept = std::min(shown.size(), kShownCellCharacters);
    // Never half of a surrogate pair.
    if (kept > 0 && shown.at(kept - 1).isHighSurrogate()) --kept;
    shown.truncate(kept);
    shown += QChar(0x2026);  // …
    return shown;
}

QString WrappedToolTipLines(const QString& text) {
    QString wrapped;
    wrapped.reserve(text.size() + text.size() / kToolTipLineCharacters);
    qsizetype in_line = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n')) {
            in_line = 0;
        } else if (in_line >= kToolTipLineCharacters && !c.isLowSurrogate()) {
            wrapped += QLatin1Char('\n');
            in_line = 0;
        }
        wrapped += c;
        if (c != QLatin1Char('\n')) ++in_line;
    }
    return wrapped;
}

}  // namespace lintaro
