// The installed program's folder in the user's data folder: a copy of the
// brand's data files, brought up to date on every start, never holding a
// program, safe when two starts meet and when the disk is full.
#include "base/UserProgramFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

const std::map<std::string, std::string> kBrand = {
    {"dbsettings.dat", "encrypted settings v1"},
    {"banner1.dat", "GIF89a banner one"},
    {"banner2.dat", "JPEG banner two"},
    {"mainskin.dat", "QPushButton { color: red; }"},
    {"main.ico", "icon bytes"},
    {"welcome/logo.png", "\x89PNG logo"},
};

// Every file below `folder` with its content, hidden ones included.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[entry.path().lexically_relative(folder).string()] = ReadFileBytes(entry.path());
  return files;
}

class UserProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, bytes] : kBrand) Install(name, bytes);
  }

  void Install(const std::string& name, const std::string& bytes) const {
    fs::create_directories((installed_ / name).parent_path());
    WriteFileBytes(installed_ / name, bytes);
  }

  UserProgramFolder Start() const { return PrepareUserProgramFolder(installed_, user_); }

  // What the user's folder must hold after a complete start: the installed
  // files as given, and the record.
  void ExpectCopyOf(const std::map<std::string, std::string>& expected) const {
    auto files = FilesBelow(user_);
    ASSERT_EQ(files.count(".brand-files"), 1u);
    EXPECT_EQ(std::count(files[".brand-files"].begin(), files[".brand-files"].end(), '\n'),
              static_cast<long>(expected.size()));
    files.erase(".brand-files");
    EXPECT_EQ(files, expected);
  }

  TempFolder root_;
  fs::path installed_ = root_.Path() / "usr/share/product";
  fs::path user_ = root_.Path() / "home/.local/share/product";
};

TEST_F(UserProgramFolderTest, FirstStartCopiesTheDataFilesPrivatelyAndWithoutExecuteBits) {
  const auto started = Start();
  EXPECT_EQ(started.problem, "");
  EXPECT_EQ(started.folder, user_);
  ExpectCopyOf(kBrand);
  struct stat info {};
  ASSERT_EQ(::stat(user_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "a folder of the user's own";
  for (const auto& entry : fs::recursive_directory_iterator(user_)) {
    if (!entry.is_regular_file()) continue;
    ASSERT_EQ(::stat(entry.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0u) << entry.path();
  }
}

// Each step changes the installed or the user's files, starts again and
// says what the user's folder must then hold.
TEST_F(UserProgramFolderTest, KeepsWhatTheProgramChangedUntilThePackageChangesIt) {
  ASSERT_EQ(Start().problem, "");
  auto expected = kBrand;
  const auto user = [&](const std::string& name) { return user_ / name; };

  // The program wrote the last-news marker; the user removed a banner.
  WriteFileBytes(user("dbsettings.dat"), "encrypted settings v1 + marker");
  fs::remove(user("banner1.dat"));
  expected["dbsettings.dat"] = "encrypted settings v1 + marker";
  ASSERT_EQ(Start().problem, "");
  ExpectCopyOf(expected);

  // A package upgrade with new settings and a new skin.
  Install("dbsettings.dat", "encrypted settings v2");
  Install("mainskin.dat", "QPushButton { color: blue; }");
  expected["dbsettings.dat"] = "encrypted settings v2";
  expected["mainskin.dat"] = "QPushButton { color: blue; }";
  ASSERT_EQ(Start().problem, "");
  ExpectCopyOf(expected);

  // The next package drops a banner and the welcome picture; the user had
  // changed the picture, so it stays, outside the record.
  WriteFileBytes(user("welcome/logo.png"), "edited logo");
  fs::remove(installed_ / "banner2.dat");
  fs::remove(installed_ / "welcome/logo.png");
  ASSERT_EQ(Start().problem, "");
  EXPECT_FALSE(fs::exists(user("banner2.dat")));
  EXPECT_EQ(ReadFileBytes(user("welcome/logo.png")), "edited logo");
  const std::string record = ReadFileBytes(user(".brand-files"));
  EXPECT_EQ(record.find("banner2.dat"), std::string::npos) << record;
  EXPECT_EQ(record.find("logo.png"), std::string::npos) << record;
  EXPECT_NE(record.find(" dbsettings.dat\n"), std::string::npos) << record;
}

// The launcher of earlier packages copied the executable and the updater
// into the user's folder, where nothing ever updated or removed them.
TEST_F(UserProgramFolderTest, RemovesTheProgramsAnEarlierLauncherCopiedAndKeepsTheData) {
  fs::create_directories(user_);
  const auto make = [&](const std::string& name, const std::string& bytes, mode_t mode) {
    WriteFileBytes(user_ / name, bytes);
    ::chmod((user_ / name).c_str(), mode);
  };
  make("product",
       "\x7f"
       "ELF old copy",
       0755);
  make("Updater.exe", "#!/bin/sh\n", 0755);
  make("dbsettings.dat", "encrypted settings v1 + marker", 0644);
  make("product.installing", "half a copy", 0644);
  make("my-script", "#!/bin/sh\n# the user's own\n", 0755);
  WriteFileBytes(user_ / ".installed-files",
                 "1111 ./Updater.exe\n2222 ./dbsettings.dat\n3333 ./product\n");
  WriteFileBytes(user_ / ".installed-files.new", "1111 ./Upd");

  ASSERT_EQ(Start().problem, "");
  for (const char* gone :
       {"product", "Updater.exe", "product.installing", ".installed-files", ".installed-files.new"})
    EXPECT_FALSE(fs::exists(user_ / gone)) << gone;
  EXPECT_EQ(ReadFileBytes(user_ / "dbsettings.dat"), "encrypted settings v1 + marker");
  EXPECT_TRUE(fs::exists(user_ / "my-script")) << "not the launcher's: left alone";
  EXPECT_EQ(ReadFileBytes(user_ / "banner1.dat"), kBrand.at("banner1.dat"));
}

TEST_F(UserProgramFolderTest, TemporaryFilesOfAKilledStartAreRemoved) {
  fs::create_directories(user_ / "welcome");
  for (const char* leftover :
       {".banner1.dat.a1B2c3.tmp", "..brand-files.Zz9Yy8.tmp", "welcome/.logo.png.q1w2e3.tmp"})
    WriteFileBytes(user_ / leftover, "partial");
  ASSERT_EQ(Start().problem, "");
  ExpectCopyOf(kBrand);
}

// Two starts at the same moment on a fresh folder, twenty times: both end
// with a complete copy and a whole record, and no temporary file is left.
TEST_F(UserProgramFolderTest, TwoStartsAtOnceLeaveOneWholeCopy) {
  std::map<std::string, std::string> brand = kBrand;
  for (int i = 0; i < 24; ++i) {
    const std::string name = "pictures/p" + std::to_string(i) + ".png";
    brand[name] = std::string(4096 + i, static_cast<char>('a' + i % 26));
    Install(name, brand[name]);
  }
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    fs::remove_all(user_);
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 2; ++i) {
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        ::close(gate[1]);
        char c;
        (void)!::read(gate[0], &c, 1);  // both go when the gate closes
        _exit(Start().problem.empty() ? 0 : 1);
      }
      children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
    ExpectCopyOf(brand);
  }
}

// Starts take turns: while another start holds the folder (here the test,
// as a start busy copying would), a second one waits and copies nothing.
// Without the turns, a start that read the record before the other one's
// program wrote its news marker would copy the old settings over it.
TEST_F(UserProgramFolderTest, AStartWaitsWhileAnotherHoldsTheFolder) {
  fs::create_directories(user_);
  const int held = ::open(user_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::close(held);  // the lock stays with the test's own descriptor
    _exit(Start().problem.empty() ? 0 : 1);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "it did not wait";
  EXPECT_TRUE(FolderEntries(user_).empty());
  ::close(held);
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  ExpectCopyOf(kBrand);
}

// A full disk: the start goes on with the files already there, says so in
// one line, and leaves no partial file; with room again the next start
// finishes the copy.
TEST_F(UserProgramFolderTest, AFullDiskStartsWithWhatIsThereAndSaysSo) {
  SmallDisk disk(1024 * 1024);
  user_ = disk.Folder() / "product";
  ASSERT_EQ(Start().problem, "");

  Install("banner1.dat", std::string(256 * 1024, 'B'));
  Install("dbsettings.dat", "encrypted settings v2");
  const auto before = FilesBelow(user_);
  disk.Fill(16 * 1024);
  const auto started = Start();
  disk.Unfill();
  EXPECT_EQ(started.folder, user_);
  EXPECT_NE(started.problem.find("cannot copy banner1.dat into " + user_.string() + " ("),
            std::string::npos)
      << started.problem;
  EXPECT_NE(started.problem.find("; starting with the files already there"), std::string::npos)
      << started.problem;
  EXPECT_EQ(started.problem.find('\n'), std::string::npos) << "one line";
  EXPECT_EQ(FilesBelow(user_), before) << "the earlier copy as it was, nothing partial";

  ASSERT_EQ(Start().problem, "");
  auto expected = kBrand;
  expected["banner1.dat"] = std::string(256 * 1024, 'B');
  expected["dbsettings.dat"] = "encrypted settings v2";
  ExpectCopyOf(expected);
}

TEST_F(UserProgramFolderTest, AFolderThatCannotBeMadeFallsBackToTheInstalledFiles) {
  WriteFileBytes(root_.Path() / "home", "a file where the home folder should be");
  const auto started = Start();
  EXPECT_EQ(started.folder, installed_);
  EXPECT_EQ(started.problem.rfind("cannot make the folder " + user_.string() + " (", 0), 0u)
      << started.problem;
  EXPECT_EQ(started.problem.find('\n'), std::string::npos);
}

TEST_F(UserProgramFolderTest, APackageWithoutBrandFilesGivesAnEmptyFolder) {
  fs::remove_all(installed_);
  const auto started = Start();
  EXPECT_EQ(started.problem, "");
  EXPECT_EQ(started.folder, user_);
  EXPECT_EQ(FolderEntries(user_), (std::set<std::string>{".brand-files"}));
}

}  // namespace
