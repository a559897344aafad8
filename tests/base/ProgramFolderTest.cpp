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

// Updater.exe is started from the helper folder: the program folder, or
// the installed program's own folder when its start chose one.
TEST(ProgramFolder, TheHelperFolderFollowsTheProgramFolderUnlessSetApart) {
  TempFolder program(/*asProgramFolder=*/true);
  EXPECT_EQ(HelperFile("Updater.exe"), program.Path() / "Updater.exe");
  TempFolder installed;
  SetHelperFolder(installed.Path());
  EXPECT_EQ(HelperFile("Updater.exe"), installed.Path() / "Updater.exe");
  EXPECT_EQ(ProgramFile("dbsettings.dat"), program.Path() / "dbsettings.dat");
  SetHelperFolder({});
  EXPECT_EQ(HelperFolder(), program.Path());
  EXPECT_EQ(ExecutableFolder(), std::filesystem::read_symlink("/proc/self/exe").parent_path());
}
