// Start and end of the program: the main window's creation, its showing and the exit status.
#include "app/window_start.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include "app/window_placement.h"

#include <cmath>
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

// Places window, whose size as created is design, on the primary screen with the given frame.
void Place(QWidget& window, const QMargins& frame, const QSize& design) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // At a fractional scale the frame's pixels are rounded to whole logical ones, perhaps
        // down: a pixel more on each side keeps the frame on the screen.
        const qreal ratio = screen->devicePixelRatio();
        const int slack = ratio == std::floor(ratio) ? 0 : 1;
        const QRect client =
            PlaceWindow(screen->availableGeometry(), frame + QMargins(slack, slack, slack, slack),
                        design, window.minimumSize());
        window.resize(client.size());
        // A window's position is its frame's, which the window manager keeps to.
        window.move(client.topLeft() - QPoint(frame.left() + slack, frame.top() + slack));
    }
}

// The window manager tells the frame only once the window is shown: the window is placed
// again, once, when the frame it has differs from the one it was placed with.
class PlaceAgainWithRealFrame final : public QObject {
  public:
    PlaceAgainWithRealFrame(QWidget& window, const QSize& design)
        : QObject(&window), window_(window), design_(design) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The frame is known once the window manager has framed the mapped window; one of
        // these events follows that.
        const QEvent::Type type = event->type();
        const bool may_know = type == QEvent::Move || type == QEvent::Resize ||
                              type == QEvent::WindowActivate || type == QEvent::Paint;
        const QWindow* handle = window_.windowHandle();
        if (watched == &window_ && may_know && handle != nullptr) {
            const QMargins margins = handle->frameMargins();
            if (margins != QMargins()) {
                window_.removeEventFilter(this);
                Place(window_, margins, design_);
                deleteLater();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget& window_;
    const QSize design_;
};

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
    const QSize design = window->size();
    Place(*window, kAssumedFrame, design);
    new PlaceAgainWithRealFrame(*window, design);
    window->show();
    // The loop ends when the window has closed; nothing asks it to end with another status.
    return QApplication::exec();
}

}  // namespace lintaro
