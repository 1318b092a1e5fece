// Start and end of the program: the main window's creation, its showing and the exit status.
#include "app/window_start.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace lintaro {

namespace {

constexpr const char* kNoDisplayAdvice =
    "lintaro-cli runs the same match without a display, or start the window under xvfb-run";

QtMessageHandler previous_handler = nullptr;

void EndOnFatalMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (previous_handler != nullptr) previous_handler(type, context, message);
        return;
    }
    std::fprintf(stderr, "lintaro: cannot open the window: %s\n%s\n",
                 message.section(QLatin1Char('\n'), 0, 0).toLocal8Bit().constData(),
                 kNoDisplayAdvice);
    std::_Exit(kExitNoDisplay);
}

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::unique_ptr<QWidget> TryCreate(const std::function<std::unique_ptr<QWidget>()>& create) {
    try {
        return create();
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace

bool DisplayNamed() {
    if (Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY")) return true;
    std::fprintf(stderr, "lintaro: no display: neither DISPLAY nor WAYLAND_DISPLAY is set\n%s\n",
                 kNoDisplayAdvice);
    return false;
}

PlatformStartGuard::PlatformStartGuard() {
    previous_handler = qInstallMessageHandler(EndOnFatalMessage);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previous_handler);
}

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
