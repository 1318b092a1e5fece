// Long work on another thread, with a progress dialog that appears once it takes a while.
#include "app/long_work.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace lintaro {

namespace {

constexpr int kDialogDelayMilliseconds = 500;
constexpr int kRefreshMilliseconds = 100;
constexpr int kProgressSteps = 1000;

class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Shows how far the work has come. Cancel, Esc and the close box all ask the work to stop;
// the dialog stays, and keeps the window blocked, until the work has ended.
class ProgressDialog : public QDialog {
  public:
    ProgressDialog(QWidget* parent, WorkProgress& progress,
                   const std::function<QString(const WorkProgress&)>& describe)
        : QDialog(parent), progress_(progress), describe_(describe) {
        setWindowTitle(QStringLiteral("Lintaro"));
        setWindowModality(Qt::ApplicationModal);
        setMinimumWidth(380);
        auto* const layout = new QVBoxLayout(this);
        label_ = new QLabel(this);
        layout->addWidget(label_);
        bar_ = new QProgressBar(this);
        bar_->setRange(0, kProgressSteps);
        layout->addWidget(bar_);
        auto* const buttons = new QHBoxLayout;
        buttons->addStretch();
        cancel_button_ = new QPushButton(QStringLiteral("取消"), this);
        cancel_button_->setObjectName(QStringLiteral("cancel_button"));
        connect(cancel_button_, &QPushButton::clicked, this, &ProgressDialog::reject);
        buttons->addWidget(cancel_button_);
        layout->addLayout(buttons);
        Refresh();
    }

    void Refresh() {
        const std::int64_t total = progress_.Total();
        const std::int64_t done = std::clamp<std::int64_t>(progress_.Done(), 0, total);
        bar_->setValue(total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0);
        label_->setText(progress_.CancelRequested() ? QStringLiteral("正在取消……")
                                                    : describe_(progress_));
        // Once every unit is done, what is left (building the table, writing the file) runs
        // to its end: Cancel would promise what it cannot keep.
        cancel_button_->setEnabled(!progress_.CancelRequested() && !(total > 0 && done >= total));
    }

    void reject() override {
        if (!cancel_button_->isEnabled()) return;
        progress_.RequestCancel();
        Refresh();
    }

  private:
    WorkProgress& progress_;
    const std::function<QString(const WorkProgress&)>& describe_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
};

}  // namespace

void RunLongWork(QWidget* parent, WorkProgress& progress, const std::function<void()>& work,
                 const std::function<QString(const WorkProgress&)>& describe) {
    // Before the window shows (the run of its start-up) nothing waits to be painted or
    // answered, and a nested event loop would run events meant for after the start.
    if (!parent->isVisible()) {
        work();
        return;
    }
    const BusyCursor busy_cursor;
    ProgressDialog dialog(parent, progress, describe);
    QEventLoop loop;
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &dialog, &ProgressDialog::Refresh);
    QTimer reveal;
    reveal.setSingleShot(true);
    QObject::connect(&reveal, &QTimer::timeout, &loop, [&] {
        dialog.Refresh();
        dialog.show();
        refresh.start(kRefreshMilliseconds);
        loop.quit();  // go on waiting, now with input for the dialog
    });

    std::atomic<bool> finished = false;
    std::exception_ptr failure;
    {
        // Inside this block so that it is joined before the loop it wakes goes away.
        std::jthread worker;
        try {
            worker = std::jthread([&] {
                try {
                    work();
                } catch (...) {
                    failure = std::current_exception();
                }
                finished = true;
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            });
        } catch (const std::system_error&) {
            // No thread to be had: the work runs here, the window held as it is meanwhile.
            work();
            return;
        }
        reveal.start(kDialogDelayMilliseconds);
        while (!finished) {
            loop.exec(dialog.isVisible() ? QEventLoop::AllEvents
                                         : QEventLoop::ExcludeUserInputEvents);
        }
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lintaro
