// Tests of the files named on the command line.
#include "app/startup_files.h"

#include <gtest/gtest.h>
#include <QDir>

namespace lintaro {
namespace {

TEST(StartupFilesTest, MakesEveryArgumentAnAbsolutePath) {
    const QString here = QDir::currentPath();
    EXPECT_TRUE(StartupFiles({"lintaro"}).isEmpty());
    EXPECT_EQ(StartupFiles({"lintaro", "/tmp/a b.html"}), QStringList{"/tmp/a b.html"});
    EXPECT_EQ(StartupFiles({"lintaro", "page.html", "../x/./y.txt", "/abs"}),
              (QStringList{here + "/page.html", QDir::cleanPath(here + "/../x/y.txt"), "/abs"}));
}

}  // namespace
}  // namespace lintaro
