// The window program: starts Lintaro's main window and runs until it is closed.
#include <QApplication>
#include <QTimer>

#include <memory>
#include <optional>

#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/startup_files.h"
#include "app/window_start.h"

int main(int argc, char** argv) {
    // --help and --version answer before anything needs a display.
    if (const std::optional<int> answered = lintaro::AnswerCommandLine(argc, argv))
        return *answered;
    // Without a display Qt would abort: say why and end with a status instead.
    if (!lintaro::DisplayNamed()) return lintaro::kExitNoDisplay;
    auto platform_guard = std::make_unique<lintaro::PlatformStartGuard>();
    QApplication app(argc, argv);
    platform_guard.reset();
    QApplication::setApplicationName(QStringLiteral("Lintaro"));
    const auto qt_texts = lintaro::InstallQtChineseTranslation();
    const std::optional<QByteArray> file = lintaro::StartupFile(argc, argv);
    return lintaro::RunMainWindow([&file] {
        auto window = std::make_unique<lintaro::MainWindow>();
        // A file named at start ("Open With") is handled like a drop once the window shows.
        if (file) {
            QTimer::singleShot(0, window.get(), [window = window.get(), path = *file] {
                window->HandleFilesDropped({path});
            });
        }
        return window;
    });
}
