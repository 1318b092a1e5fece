// Running work that may take a while without freezing the window and without letting the user
// act on the window meanwhile.
#pragma once

#include <QString>

#include <functional>

#include "base/work_progress.h"

class QWidget;

namespace lintaro {

// Runs work on another thread and returns once it has returned; an exception it throws is
// thrown again here. Meanwhile the window repaints but takes no input: for the first half
// second user input waits, as it does for any busy program, and then a progress dialog over
// parent, which alone takes input, shows describe(progress) and the share of progress done
// (a busy bar while that is nought), with a Cancel that asks the work to stop through
// progress. A close of another window meanwhile reaches that window. A busy cursor shows
// throughout. While parent is not shown yet, work simply runs on this thread.
void RunLongWork(QWidget* parent, WorkProgress& progress, const std::function<void()>& work,
                 const std::function<QString(const WorkProgress&)>& describe);

}  // namespace lintaro
