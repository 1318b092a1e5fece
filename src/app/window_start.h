// Start and end of the program: the main window's creation, its showing and the exit status.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace lintaro {

// What the program ends with.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitWindowFailed = 255;
inline constexpr int kExitNoDisplay = 1;

// Whether a display may be there to open the window on: QT_QPA_PLATFORM names a platform, or
// DISPLAY or WAYLAND_DISPLAY is set. When none is, says so on standard error.
bool DisplayNamed();

// While it lives, a fatal error of Qt (a display that cannot be reached, no platform plugin
// that starts) ends the program with a message on standard error and kExitNoDisplay instead
// of an abort. Construct it before the QApplication and let it go once that exists.
class PlatformStartGuard {
  public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

// Creates the main window with create_window, shows it on the primary screen's available
// area as PlaceWindow places it (at its size as created where that fits) and handles events until
// it has closed: gives kExitNormal then. When the window cannot be created (create_window throws or
// gives nothing), shows the fatal message "载入启动窗口失败" and gives kExitWindowFailed. Needs a
// QApplication.
int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& create_window);

}  // namespace lintaro
