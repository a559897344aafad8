// The launcher that starts Quorvane from a writable program folder, and the
// layout that `cmake --install` lays out. The launchers are the ones this
// build configured; a stand-in "quorvane" records where it was started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

// Records the folder it runs from in $HOME/started-from.
constexpr char kStandIn[] =
    "#!/bin/sh\n"
    "dirname \"$(readlink -f \"$0\")\" >\"$HOME/started-from\"\n";

std::string Quote(const fs::path& path) {
  return "'" + path.string() + "'";
}

void MakeExecutable(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace);
}

// Places a copy of the launcher at `at` and the stand-in in `master`.
void InstallLauncher(const fs::path& launcher, const fs::path& at, const fs::path& master) {
  fs::create_directories(at.parent_path());
  fs::copy_file(launcher, at, fs::copy_options::overwrite_existing);
  MakeExecutable(at);
  fs::create_directories(master);
  WriteFileBytes(master / "quorvane", kStandIn);
  MakeExecutable(master / "quorvane");
}

// Runs `launcher` with this HOME and, when given, XDG_DATA_HOME.
int RunLauncher(const fs::path& launcher, const fs::path& home, const std::string& dataHome = "") {
  fs::create_directories(home);
  std::string command = "env -u XDG_DATA_HOME HOME=" + Quote(home);
  if (!dataHome.empty()) command += " XDG_DATA_HOME=" + Quote(dataHome);
  command += " " + Quote(launcher) + " </dev/null";
  return std::system(command.c_str());
}

std::string StartedFrom(const fs::path& home) {
  std::string text = ReadFileBytes(home / "started-from");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The package's launcher: /usr/bin/quorvane starting /usr/lib/quorvane.
class CopyingLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallLauncher(QUORVANE_TEST_PACKAGE_LAUNCHER, root_.Path() / "usr/bin/quorvane", master_);
    WriteFileBytes(master_ / "dbsettings.dat", "brand v1");
    WriteFileBytes(master_ / "banner1.dat", "GIF89a");
    WriteFileBytes(master_ / "Updater.exe", "#!/bin/sh\n");
    MakeExecutable(master_ / "Updater.exe");
  }

  int Start() { return RunLauncher(root_.Path() / "usr/bin/quorvane", home_); }

  TempFolder root_;
  fs::path master_ = root_.Path() / "usr/lib/quorvane";
  fs::path home_ = root_.Path() / "home";
  fs::path copy_ = home_ / ".local/share/quorvane";
};

TEST_F(CopyingLauncher, FirstStartCopiesTheFolderAndStartsTheCopy) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(StartedFrom(home_), fs::canonical(copy_).string());
  for (const char* name : {"quorvane", "dbsettings.dat", "banner1.dat", "Updater.exe"}) {
    ASSERT_TRUE(fs::exists(copy_ / name)) << name;
    EXPECT_EQ(ReadFileBytes(copy_ / name), ReadFileBytes(master_ / name)) << name;
  }
  EXPECT_TRUE(access((copy_ / "Updater.exe").c_str(), X_OK) == 0);
  EXPECT_TRUE(access(copy_.c_str(), W_OK) == 0);
  // No half-copied leftovers.
  for (const auto& name : FolderEntries(copy_))
    EXPECT_EQ(name.find(".installing"), std::string::npos) << name;
}

TEST_F(CopyingLauncher, KeepsWhatTheProgramChangedUntilTheInstalledFileChanges) {
  ASSERT_EQ(Start(), 0);
  // The program rewrote its settings (last-news marker); the updater
  // replaced the executable; the user removed a banner.
  WriteFileBytes(copy_ / "dbsettings.dat", "brand v1 + marker");
  WriteFileBytes(copy_ / "quorvane", std::string(kStandIn) + "# updated\n");
  fs::remove(copy_ / "banner1.dat");
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(ReadFileBytes(copy_ / "dbsettings.dat"), "brand v1 + marker");
  EXPECT_EQ(ReadFileBytes(copy_ / "quorvane"), std::string(kStandIn) + "# updated\n");
  EXPECT_EQ(ReadFileBytes(copy_ / "banner1.dat"), "GIF89a");

  // A package upgrade brings a new executable and new brand settings.
  WriteFileBytes(master_ / "quorvane", std::string(kStandIn) + "# version 2\n");
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(ReadFileBytes(copy_ / "quorvane"), std::string(kStandIn) + "# version 2\n");
  EXPECT_EQ(ReadFileBytes(copy_ / "dbsettings.dat"), "brand v1 + marker");
  WriteFileBytes(master_ / "dbsettings.dat", "brand v2");
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(ReadFileBytes(copy_ / "dbsettings.dat"), "brand v2");
  EXPECT_EQ(StartedFrom(home_), fs::canonical(copy_).string());
}

TEST_F(CopyingLauncher, UsesXdgDataHomeAndFollowsASymlinkToItself) {
  const fs::path link = root_.Path() / "elsewhere/quorvane";
  fs::create_directories(link.parent_path());
  fs::create_symlink(root_.Path() / "usr/bin/quorvane", link);
  const fs::path data = root_.Path() / "data with space";
  ASSERT_EQ(RunLauncher(link, home_, data.string()), 0);
  EXPECT_EQ(StartedFrom(home_), fs::canonical(data / "quorvane").string());
  EXPECT_FALSE(fs::exists(copy_));
}

TEST(PlainLauncher, StartsAWritableFolderInPlace) {
  TempFolder prefix;
  const fs::path folder = prefix.Path() / "quorvane";
  InstallLauncher(QUORVANE_TEST_PLAIN_LAUNCHER, prefix.Path() / "bin/quorvane", folder);
  ASSERT_EQ(RunLauncher(prefix.Path() / "bin/quorvane", prefix.Path() / "home"), 0);
  EXPECT_EQ(StartedFrom(prefix.Path() / "home"), fs::canonical(folder).string());
  EXPECT_FALSE(fs::exists(prefix.Path() / "home/.local/share/quorvane"));
}

TEST(PlainLauncher, CopiesAFolderTheUserCannotWrite) {
  if (geteuid() == 0) GTEST_SKIP() << "root can write every folder";
  TempFolder prefix;
  const fs::path folder = prefix.Path() / "quorvane";
  InstallLauncher(QUORVANE_TEST_PLAIN_LAUNCHER, prefix.Path() / "bin/quorvane", folder);
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  const fs::path home = prefix.Path() / "home";
  const int status = RunLauncher(prefix.Path() / "bin/quorvane", home);
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(StartedFrom(home), fs::canonical(home / ".local/share/quorvane").string());
}

// Reads "Key=Value" lines of a desktop entry.
std::map<std::string, std::string> DesktopKeys(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ReadFileBytes(file));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != '[' && line[0] != '#')
      keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

TEST(InstallLayout, PlainInstallHasTheProgramFolderLauncherDesktopEntryAndIcons) {
  TempFolder prefix;
  const fs::path p = prefix.Path() / "with space";
  const std::string command = Quote(QUORVANE_TEST_CMAKE) + " --install " +
                              Quote(QUORVANE_TEST_BUILD_DIR) + " --prefix " + Quote(p) +
                              " >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  EXPECT_EQ(access((p / "quorvane/quorvane").c_str(), X_OK), 0);
  EXPECT_EQ(access((p / "bin/quorvane").c_str(), X_OK), 0);
  EXPECT_TRUE(fs::exists(p / "share/icons/hicolor/scalable/apps/quorvane.svg"));
  for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
    EXPECT_GT(fs::file_size(p / "share/icons/hicolor" / size / "apps/quorvane.png"), 0u) << size;

  const auto keys = DesktopKeys(p / "share/applications/quorvane.desktop");
  EXPECT_EQ(keys.at("Type"), "Application");
  EXPECT_EQ(keys.at("Name"), "Quorvane");
  EXPECT_EQ(keys.at("Exec"), "\"" + (p / "bin/quorvane").string() + "\"");
  EXPECT_TRUE(fs::exists(keys.at("Icon"))) << keys.at("Icon");
}

}  // namespace
