// The files named on the command line, as "Open With" and `lintaro FILE` give them.
#pragma once

#include <QStringList>

namespace lintaro {

// The paths among arguments (the program's name first, Qt's own options already removed),
// made absolute against the current directory, as a drop would give them.
QStringList StartupFiles(const QStringList& arguments);

}  // namespace lintaro
