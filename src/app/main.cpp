// The window program: starts Lintaro's main window and runs until it is closed.
#include <QApplication>
#include <QTimer>

#include <memory>

#include "app/main_window.h"
#include "app/startup_files.h"
#include "app/window_start.h"

int main(int argc, char** argv) {
    // Without a display Qt would abort: say why and end with a status instead.
    if (!lintaro::DisplayNamed()) return lintaro::kExitNoDisplay;
    auto platform_guard = std::make_unique<lintaro::PlatformStartGuard>();
    QApplication app(argc, argv);
    platform_guard.reset();
    QApplication::setApplicationName(QStringLiteral("Lintaro"));
    const QStringList files = lintaro::StartupFiles(QApplication::arguments());
    return lintaro::RunMainWindow([&files] {
        auto window = std::make_unique<lintaro::MainWindow>();
        // Files named at start ("Open With") are handled like a drop once the window shows.
        if (!files.isEmpty()) {
            QTimer::singleShot(0, window.get(), [window = window.get(), files] {
                window->HandleFilesDropped(files);
            });
        }
        return window;
    });
}
