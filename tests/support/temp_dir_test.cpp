// Tests of the temporary directory: unique, and gone afterwards whatever a test left in it.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

namespace fs = std::filesystem;

// Locked directories are what keeps remove_all from removing them (except as root).
TEST(TempDirTest, IsUniqueAndRemovedEvenWhenATestLockedItsContents) {
    fs::path kept;
    {
        TempDir dir;
        TempDir other;
        EXPECT_NE(dir.Path(), other.Path());
        kept = dir.Path();
        fs::create_directories(dir.Path() / "locked" / "inner");
        dir.Write("locked/inner/file", "x");
        fs::create_symlink("/", dir.Path() / "link");
        fs::permissions(dir.Path() / "locked" / "inner", fs::perms::none);
        fs::permissions(dir.Path() / "locked", fs::perms::owner_read);
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"link", "locked"}));
    }
    EXPECT_FALSE(fs::exists(kept));
}

}  // namespace
}  // namespace lintaro
