// Conversions between the program's own values and Qt's: program text and QString, Rgb and QColor.
#include "table/qt_conversions.h"

#include "base/program_text.h"

namespace lintaro {

QString ProgramTextToQString(std::string_view text) {
    return QString::fromStdU16String(ProgramTextToUtf16(text));
}

std::string QStringToProgramText(const QString& text) {
    return Utf16ToProgramText(text.toStdU16String());
}

QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace lintaro
