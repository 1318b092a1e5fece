// The window program: starts Lintaro's main window and runs until it is closed.
#include <QApplication>

#include <memory>

#include "app/main_window.h"
#include "app/window_start.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lintaro"));
    return lintaro::RunMainWindow([] { return std::make_unique<lintaro::MainWindow>(); });
}
