// Start and end of the program: the main window's creation, its showing and the exit status.
#include "app/window_start.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include <exception>

namespace lintaro {

namespace {

std::unique_ptr<QWidget> TryCreate(const std::function<std::unique_ptr<QWidget>()>& create) {
    try {
        return create();
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace

int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& create_window) {
    const std::unique_ptr<QWidget> window = TryCreate(create_window);
    if (!window) {
        QMessageBox::critical(nullptr, QStringLiteral("Lintaro"),
                              QStringLiteral("载入启动窗口失败"));
        return kExitWindowFailed;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                                screen->availableGeometry()));
    }
    window->show();
    // The loop ends when the window has closed; nothing asks it to end with another status.
    return QApplication::exec();
}

}  // namespace lintaro
