// The files named on the command line, as "Open With" and `lintaro FILE` give them.
#include "app/startup_files.h"

#include <QDir>

namespace lintaro {

QStringList StartupFiles(const QStringList& arguments) {
    QStringList paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        // Not QFileInfo::absoluteFilePath: a drop gives the path as named, without resolving
        // ".." through symbolic links, and so do we.
        paths << QDir::cleanPath(QDir::current().absoluteFilePath(arguments[i]));
    }
    return paths;
}

}  // namespace lintaro
