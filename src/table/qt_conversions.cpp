// Conversions between the program's own values and Qt's: program text and QString, Rgb and QColor.
#include "table/qt_conversions.h"

#include "base/program_text.h"

namespace lintaro {

QString ProgramTextToQString(std::string_view text) {
    if (!ProgramCharsetIsUtf8()) return QString::fromStdU16String(ProgramTextToUtf16(text));
    // Straight into the string's own memory: an export of hundreds of megabytes for the
    // clipboard was held twice more at once, in UTF-16 and as the string's copy of it.
    QString converted(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    converted.truncate(static_cast<qsizetype>(
        Utf8ToUtf16Into(text, reinterpret_cast<char16_t*>(converted.data()))));
    return converted;
}

void AppendUtf8(QString& text, std::string_view utf8) {
    const qsizetype old_size = text.size();
    text.resize(old_size + static_cast<qsizetype>(utf8.size()));  // never more units than bytes
    text.truncate(old_size + static_cast<qsizetype>(Utf8ToUtf16Into(
                                 utf8, reinterpret_cast<char16_t*>(text.data() + old_size))));
}

std::string QStringToProgramText(const QString& text) {
    return Utf16ToProgramText(text.toStdU16String());
}

QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace lintaro
