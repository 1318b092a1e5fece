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

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

// While it lives, user input reaches only the objects inside keep: the other windows stay
// blocked as under a modal dialog, but unlike a modal dialog's their close box still works.
class InputOnlyFor final : public QObject {
  public:
    explicit InputOnlyFor(const QObject& keep) : keep_(keep) { qApp->installEventFilter(this); }
    ~InputOnlyFor() override { qApp->removeEventFilter(this); }
    InputOnlyFor(const InputOnlyFor&) = delete;
    InputOnlyFor& operator=(const InputOnlyFor&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window passes input on to its widgets, which are judged here in their turn.
        if (!IsUserInput(event->type()) || watched->isWindowType()) return false;
        for (const QObject* object = watched; object != nullptr; object = object->parent()) {
            if (object == &keep_) return false;
        }
        return true;
    }

  private:
    const QObject& keep_;
};

// Shows how far the work has come: a busy bar until the share done moves, then the share.
// Cancel, Esc and the dialog's close box ask the work to stop; the dialog stays, and keeps
// input from the other windows, until the work has ended. It is not modal, so that the
// window's close box still reaches the window, which cancels the work itself.
class ProgressDialog : public QDialog {
  public:
    ProgressDialog(QWidget* parent, WorkProgress& progress,
                   const std::function<QString(const WorkProgress&)>& describe)
        : QDialog(parent), progress_(progress), describe_(describe) {
        setObjectName(QStringLiteral("progress_dialog"));
        setWindowTitle(QStringLiteral("Lintaro"));
        setWindowModality(Qt::NonModal);
        // Room for a line of some thirty characters in the dialog's own font.
        setMinimumWidth(std::max(380, fontMetrics().horizontalAdvance(QString(30, QChar(0x4E2D)))));
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
        const int share = total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0;
        // A bar that stands still at nought tells nothing: until the share moves (one long
        // engine call may keep it there), the bar only shows that work goes on.
        if (share == 0) {
            bar_->setRange(0, 0);
        } else {
            bar_->setRange(0, kProgressSteps);
            bar_->setValue(share);
        }
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
    const InputOnlyFor input_only_for_dialog(dialog);
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
