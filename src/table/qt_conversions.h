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
// A QString as program text; a character the set cannot hold becomes "?".
std::string QStringToProgramText(const QString& text);

QColor ToQColor(Rgb colour);

}  // namespace lintaro
