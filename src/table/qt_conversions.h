// Conversions between the program's own values and Qt's: program text and QString, Rgb and QColor.
#pragma once

#include <QColor>
#include <QString>

#include <string>
#include <string_view>

#include "table/result_table.h"

namespace lintaro {

// Program text (the locale's character set) as a QString; bytes the set cannot decode
// become U+FFFD.
QString ProgramTextToQString(std::string_view text);
// Appends UTF-8 to text, converted straight into the string's memory, which grows as a
// vector does; each byte that is not part of a well-formed sequence becomes U+FFFD.
void AppendUtf8(QString& text, std::string_view utf8);
// A QString as program text; a character the set cannot hold becomes "?".
std::string QStringToProgramText(const QString& text);

QColor ToQColor(Rgb colour);

}  // namespace lintaro
