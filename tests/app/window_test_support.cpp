// Helpers for the window's tests: finding controls, writing files, answering modal dialogs.
#include "window_test_support.h"

#include <QFile>

namespace lintaro::testing {

namespace {
// Far longer than any dialog of these tests needs to be answered.
constexpr int kStuckAfterMilliseconds = 10000;
// The modal widget, or else the progress dialog of long work, which takes the input alone
// without being modal.
QWidget* DialogInCharge() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("progress_dialog") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

ModalAnswer::ModalAnswer(std::function<void(QWidget* modal)> answer)
    : poll_(std::make_unique<QTimer>()) {
    // Polls, because the dialog only appears once the code under test has opened it.
    QObject::connect(poll_.get(), &QTimer::timeout,
                     [poll = poll_.get(), answered = answered_, answer = std::move(answer)] {
                         QWidget* modal = DialogInCharge();
                         if (modal == nullptr || !modal->isVisible()) return;
                         poll->stop();
                         *answered = true;
                         answer(modal);
                     });
    poll_->start(10);

    watchdog_ = std::make_unique<QTimer>();
    watchdog_->setSingleShot(true);
    QObject::connect(watchdog_.get(), &QTimer::timeout, [] {
        while (QWidget* modal = DialogInCharge()) {
            ADD_FAILURE() << "a modal " << modal->metaObject()->className() << " stayed open";
            modal->close();
            QApplication::processEvents();
        }
    });
    watchdog_->start(kStuckAfterMilliseconds);
}

ModalAnswer::~ModalAnswer() = default;

}  // namespace lintaro::testing
