// What the table shows of a cell, on screen and in its tooltip: the text up to a bound.
#pragma once

#include <QString>

#include <string_view>

namespace lintaro {

// Characters of a cell that are drawn or put in a tooltip. Laying out a whole match of many
// megabytes on every repaint would freeze the window; a few thousand characters are more
// than any cell or tooltip can show.
inline constexpr qsizetype kShownCellCharacters = 2000;

// The cell's program text as a QString, cut after kShownCellCharacters characters with "…"
// appended. Only the bytes that can hold those characters are converted. Copying, the
// export and in-place editing use the whole text instead.
QString ShownCellText(std::string_view text);

// Characters on one line of a cell's tooltip, so that it stays narrower than the screen.
inline constexpr qsizetype kToolTipLineCharacters = 80;

// text with a line break after every kToolTipLineCharacters characters of a line that is
// longer (never inside a surrogate pair), so that a text without spaces, such as a long URL,
// wraps too. The line breaks it has stay.
QString WrappedToolTipLines(const QString& text);

}  // namespace lintaro
