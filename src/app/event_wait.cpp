// Waiting a short time while the window keeps handling its events.
#include "app/event_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace lintaro {

void WaitHandlingEvents(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    // processEvents only sleeps until the next event; this timer is the event that wakes
    // it when nothing else arrives before the wait is over.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!clock.hasExpired(milliseconds)) {
        const qint64 left = milliseconds + 1 - clock.elapsed();
        wake.start(static_cast<int>(std::max<qint64>(left, 1)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace lintaro
