// Tests of the program's start and end: the exit status and the fatal message.
#include "app/window_start.h"

#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "window_test_support.h"

namespace lintaro {
namespace {

TEST(WindowStartTest, ClosingTheWindowEndsWithStatusZero) {
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible());
        shown->close();
    });
    const int status = RunMainWindow([&] {
        auto window = std::make_unique<MainWindow>();
        shown = window.get();
        return window;
    });
    EXPECT_EQ(status, 0);
}

struct FailureCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> create;
};

class WindowStartFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(WindowStartFailureTest, ShowsTheFatalMessageAndEndsWith255) {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const testing::ModalAnswer answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    EXPECT_EQ(RunMainWindow(GetParam().create), 255);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(text, QStringLiteral("载入启动窗口失败"));
    EXPECT_EQ(icon, QMessageBox::Critical);
}

INSTANTIATE_TEST_SUITE_P(Failures, WindowStartFailureTest,
                         ::testing::Values(FailureCase{"CreationThrows",
                                                       []() -> std::unique_ptr<QWidget> {
                                                           throw std::runtime_error("no window");
                                                       }},
                                           FailureCase{"CreationGivesNothing",
                                                       [] { return std::unique_ptr<QWidget>(); }}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace lintaro
