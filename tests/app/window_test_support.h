// Helpers for the window's tests: finding controls, writing files, answering modal dialogs.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

// Lets test failures show texts instead of bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lintaro::testing {

// The control of the window with that object name; fails the test when there is none.
template <typename Control>
Control* Find(const QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Writes bytes to path; false when the file could not be written.
bool WriteFile(const QString& path, const QByteArray& bytes);

// Calls answer with the next modal widget (a message box or a file dialog) or progress
// dialog of long work as soon as it is shown, from inside its own event loop; answer must close it.
// Waiting ends with this object, so an answer meant for one dialog never reaches a later one. A
// modal widget still open long after that fails the test and is closed, so a stuck dialog cannot
// hang it.
class ModalAnswer {
  public:
    explicit ModalAnswer(std::function<void(QWidget* modal)> answer);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool Answered() const { return *answered_; }

  private:
    std::unique_ptr<QTimer> poll_;
    std::unique_ptr<QTimer> watchdog_;
    std::shared_ptr<bool> answered_ = std::make_shared<bool>(false);
};

}  // namespace lintaro::testing
