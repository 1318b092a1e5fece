// Tests of long work: the thread it runs on, the busy cursor, the delayed progress dialog and
// its Cancel.
#include "app/long_work.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

#include "window_test_support.h"

namespace lintaro {
namespace {

QString Describe(const WorkProgress& progress) {
    return QStringLiteral("%1 of %2").arg(progress.Done()).arg(progress.Total());
}

class LongWorkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.resize(300, 200);
        window_.show();
    }
    QWidget window_;
    WorkProgress progress_;
};

TEST_F(LongWorkTest, ShortWorkRunsElsewhereUnderABusyCursorAndShowsNoDialog) {
    QThread* work_thread = nullptr;
    std::optional<Qt::CursorShape> cursor_meanwhile;
    bool dialog_seen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QApplication::overrideCursor() != nullptr) {
            cursor_meanwhile = QApplication::overrideCursor()->shape();
        }
        dialog_seen = dialog_seen || QApplication::activeModalWidget() != nullptr;
    });
    std::atomic<bool> cursor_seen = false;
    QObject::connect(&watch, &QTimer::timeout, [&] { cursor_seen = cursor_meanwhile.has_value(); });
    watch.start(5);
    RunLongWork(
        &window_, progress_,
        [&] {
            work_thread = QThread::currentThread();
            // Work as long as it takes to be seen, well short of the dialog's half second.
            for (int waited = 0; !cursor_seen && waited < 400; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        Describe);
    EXPECT_NE(work_thread, nullptr);
    EXPECT_NE(work_thread, QThread::currentThread());
    EXPECT_EQ(cursor_meanwhile, Qt::BusyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(dialog_seen);
}

TEST_F(LongWorkTest, LongWorkShowsProgressAfterHalfASecondAndCancelStopsIt) {
    QElapsedTimer clock;
    qint64 shown_after = -1;
    QString label;
    const testing::ModalAnswer answer([&](QWidget* modal) {
        shown_after = clock.elapsed();
        const auto* text = modal->findChild<QLabel*>();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return text->text().endsWith(QStringLiteral(" of 1000")); }));
        label = text->text();
        modal->findChild<QPushButton*>()->click();
    });
    bool stopped_by_cancel = false;
    clock.start();
    RunLongWork(
        &window_, progress_,
        [&] {
            progress_.Start(1000);
            for (int step = 0; step < 1000; ++step) {
                if (progress_.CancelRequested()) {
                    stopped_by_cancel = true;
                    return;
                }
                progress_.Add(1, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        },
        Describe);
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(stopped_by_cancel);
    EXPECT_GE(shown_after, 450);
    EXPECT_TRUE(label.endsWith(QStringLiteral(" of 1000"))) << label.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// While the share done stands at nought the bar is a busy indicator; once it moves, the share.
TEST_F(LongWorkTest, TheBarIsBusyUntilTheShareMoves) {
    std::atomic<bool> seen_busy = false;
    std::atomic<bool> seen_share = false;
    const testing::ModalAnswer answer([&](QWidget* dialog) {
        auto* bar = dialog->findChild<QProgressBar*>();
        seen_busy = bar->maximum() == 0;
        progress_.Add(250, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }));
        seen_share = bar->value() == bar->maximum() / 4;
        // The dialog is wide enough for its font.
        EXPECT_GE(dialog->width(),
                  dialog->fontMetrics().horizontalAdvance(QString(30, QChar(0x4E2D))));
        dialog->findChild<QPushButton*>()->click();
    });
    RunLongWork(
        &window_, progress_,
        [&] {
            progress_.Start(1000);
            while (!progress_.CancelRequested()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        },
        Describe);
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(seen_busy);
    EXPECT_TRUE(seen_share);
}

TEST_F(LongWorkTest, OnceEveryUnitIsDoneTheRestCannotBeCancelled) {
    bool cancel_enabled = true;
    std::atomic<bool> answered = false;
    const testing::ModalAnswer answer([&](QWidget* modal) {
        cancel_enabled = modal->findChild<QPushButton*>()->isEnabled();
        QTest::keyClick(modal, Qt::Key_Escape);
        answered = true;
    });
    RunLongWork(
        &window_, progress_,
        [&] {
            progress_.Start(10);
            progress_.Add(10, 0);
            // Writing the file, until the dialog was answered (or surely never will be).
            for (int waited = 0; !answered && waited < 6000; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        },
        Describe);
    EXPECT_TRUE(answer.Answered());
    EXPECT_FALSE(cancel_enabled);
    EXPECT_FALSE(progress_.CancelRequested());
}

TEST_F(LongWorkTest, FailureOfTheWorkIsThrownHere) {
    EXPECT_THROW(
        RunLongWork(
            &window_, progress_, [] { throw std::runtime_error("out of memory"); }, Describe),
        std::runtime_error);
}

// Takes away every further thread of this process, runs work in window and ends the process:
// 0 when the work ran here and left no busy cursor behind.
[[noreturn]] void RunWithoutThreads(QWidget& window, WorkProgress& progress) {
    // Root is not held to the limit.
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(3);
    const rlimit no_more_tasks{.rlim_cur = 0, .rlim_max = 0};
    if (::setrlimit(RLIMIT_NPROC, &no_more_tasks) != 0) ::_exit(4);
    QThread* work_thread = nullptr;
    RunLongWork(
        &window, progress, [&] { work_thread = QThread::currentThread(); }, Describe);
    const bool ran_here = work_thread == QThread::currentThread();
    // _exit: the leak checker of a normal exit would need a thread of its own.
    ::_exit(ran_here && QApplication::overrideCursor() == nullptr ? 0 : 1);
}

// With no thread to be had (the user's process limit reached), the work still runs, here, and
// the window is left as it was. In a process of its own, started afresh.
TEST_F(LongWorkTest, WithoutAThreadWorkRunsRightHere) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunWithoutThreads(window_, progress_), ::testing::ExitedWithCode(0), "");
}

TEST_F(LongWorkTest, BeforeTheWindowShowsWorkRunsRightHere) {
    QWidget hidden;
    QThread* work_thread = nullptr;
    RunLongWork(
        &hidden, progress_, [&] { work_thread = QThread::currentThread(); }, Describe);
    EXPECT_EQ(work_thread, QThread::currentThread());
}

}  // namespace
}  // namespace lintaro
