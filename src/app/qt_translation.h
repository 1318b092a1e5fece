// Qt's own texts in Chinese: the file chooser, context menus and message-box buttons.
#pragma once

#include <QTranslator>

#include <memory>

namespace lintaro {

// Installs Qt's Chinese translation (qtbase_zh_CN from Qt's translations folder) whatever the
// locale, since every caption of the window is Chinese. The translation stays installed as
// long as the result lives; nullptr when it is not installed on this system. Needs a
// QCoreApplication.
std::unique_ptr<QTranslator> InstallQtChineseTranslation();

}  // namespace lintaro
