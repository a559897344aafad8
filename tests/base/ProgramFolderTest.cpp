#include <gtest/gtest.h>

#include "base/ProgramFolder.h"
#include "support/TempFolder.h"

using namespace quorvane;

TEST(ProgramFolder, IsTheExecutablesFolderByDefault) {
  const auto exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(ProgramFolder(), exe.parent_path());
  EXPECT_EQ(ProgramFile("test.html"), exe.parent_path() / "test.html");
}

TEST(ProgramFolder, FollowsATemporaryFolderAndComesBack) {
  const auto original = ProgramFolder();
  {
    TempFolder folder(/*asProgramFolder=*/true);
    EXPECT_EQ(ProgramFolder(), folder.Path());
    EXPECT_EQ(ProgramFile("dbsettings.dat"), folder.Path() / "dbsettings.dat");
  }
  EXPECT_EQ(ProgramFolder(), original);
}
