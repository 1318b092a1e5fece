// OutputDirectory: the drop zone's caption split at "/".
#include "export/output_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lintaro {
namespace {

TEST(OutputDirectoryTest, SplitsTheCaptionAtSlashes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/home/u/page.htm", "/home/u/"},
        {"/page.htm", "/"},
        {"拖入文件", ""},
        {"", ""},
        {"dir/", ""},  // the empty piece after a final "/" does not count
        {"a/b/", "a/"},
        {"a//b", "a//"},  // empty pieces between "/" do
        {"//", "/"},
        {"/", ""},
        {"/home/用户/数据.html", "/home/用户/"},
        {"/a/x.htm\r\n/b/y.htm\r\n", "/a/x.htm\r\n/b/"},  // several dropped paths
    };
    for (const auto& [caption, directory] : cases) {
        EXPECT_EQ(OutputDirectory(caption), directory) << caption;
    }
}

}  // namespace
}  // namespace lintaro
