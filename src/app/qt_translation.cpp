// Qt's own texts in Chinese: the file chooser, context menus and message-box buttons.
#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace lintaro {

std::unique_ptr<QTranslator> InstallQtChineseTranslation() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator;
}

}  // namespace lintaro
