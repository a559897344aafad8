// The settings store on a disk that runs full and in a program folder that
// takes no files. Every operation either does its whole work or fails with
// a FileError that names the file and the reason; the settings file stays
// as it was, and nothing is left beside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/FileError.h"
#include "base/ProgramFolder.h"
#include "settings/ContainerBytes.h"
#include "settings/LastNewsId.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsWorkingCopy.h"
#include "support/ReadOnlyFolder.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kBlock = 4096;

// Some kilobytes, so that the files span several blocks of the disk and
// it can run full in the middle of one.
std::string SettingsText(const std::string& id) {
  std::string text = "<%%ApplicationName%%>Acme<%%/ApplicationName%%>\r\n<%%AboutText%%>";
  for (int i = 0; i < 600; ++i) text += "About line " + std::to_string(i) + "\r\n";
  return text + "<%%/AboutText%%>\r\n<%%LastNewsId%%>" + id + "<%%/LastNewsId%%>\r\n";
}

class SettingsDiskFaultTest : public testing::Test {
 protected:
  SettingsDiskFaultTest() { SetProgramFolder(disk_.Folder()); }
  ~SettingsDiskFaultTest() override { SetProgramFolder({}); }

  fs::path Settings() const { return disk_.Folder() / "dbsettings.dat"; }

  void Store(const std::string& text) {
    scratch_.Write("plain.txt", text);
    EncryptSettingsFile(scratch_.File("plain.txt"), Settings());
  }

  // The stored settings text; fails the test when it does not decrypt cleanly.
  std::string Stored() const {
    std::string plain;
    EXPECT_EQ(DecryptBytes(ReadFileBytes(Settings()), kSettingsPassword, plain), CryptError::None);
    return plain;
  }

  // Runs `operation` with only `room` bytes free; the FileError it threw.
  template <class Operation>
  std::optional<FileError> WithRoom(std::uintmax_t room, Operation&& operation) {
    disk_.Fill(room);
    std::optional<FileError> error;
    try {
      operation();
    } catch (const FileError& e) {
      error = e;
    }
    disk_.Unfill();
    return error;
  }

  void ExpectFullDiskError(const FileError& e) const {
    EXPECT_EQ(e.code().value(), disk_.FullError()) << e.what();
    EXPECT_EQ(e.Path().parent_path(), disk_.Folder()) << e.what();
  }

  SmallDisk disk_{512 * 1024};
  TempFolder scratch_;
};

// From no room at all up to room for everything, block by block: the disk
// runs full in every step of the save, in the middle of each file.
TEST_F(SettingsDiskFaultTest, ASaveOnAFullDiskKeepsTheSettingsFile) {
  if (!disk_.Real()) std::cout << "[ file size limit ] " << disk_.WhyNotReal() << "\n";
  int failed = 0;
  bool saved = false;
  for (std::uintmax_t room = 0; !saved && room <= 16 * kBlock; room += kBlock) {
    SCOPED_TRACE("room " + std::to_string(room));
    Store(SettingsText("17"));
    const auto error = WithRoom(room, [] { SaveLastNewsId("18"); });
    if (error) {
      ++failed;
      ExpectFullDiskError(*error);
      EXPECT_EQ(Stored(), SettingsText("17"));
    } else {
      saved = true;
      EXPECT_EQ(Stored(), SettingsText("18"));
    }
    EXPECT_EQ(FolderEntries(disk_.Folder()), std::set<std::string>{"dbsettings.dat"});
  }
  EXPECT_GT(failed, 1) << "the disk never ran full";
  EXPECT_TRUE(saved) << "the save never had room enough";
}

// The loader and the marker read through the working copy: a copy the disk
// could not take whole must not pass for the settings text.
TEST_F(SettingsDiskFaultTest, AWorkingCopyTheDiskCannotTakeIsAnError) {
  Store(SettingsText("17"));
  const std::vector<std::string> lines = SplitLines(SettingsText("17"));
  int failed = 0;
  bool read = false;
  for (std::uintmax_t room = 0; !read && room <= 8 * kBlock; room += kBlock) {
    SCOPED_TRACE("room " + std::to_string(room));
    std::string id = "not read";
    std::optional<std::vector<std::string>> loaded;
    const auto idError = WithRoom(room, [&] { id = ReadLastNewsId(); });
    const auto loadError = WithRoom(room, [&] { loaded = ReadSettingsLines(); });
    EXPECT_EQ(idError.has_value(), loadError.has_value());
    if (idError && loadError) {
      ++failed;
      ExpectFullDiskError(*idError);
      ExpectFullDiskError(*loadError);
      EXPECT_EQ(idError->Path().filename(), "dbsettings.sim");
    } else if (!idError && !loadError) {
      read = true;
      EXPECT_EQ(id, "17");
      ASSERT_TRUE(loaded);
      EXPECT_EQ(*loaded, lines);
    }
    EXPECT_EQ(FolderEntries(disk_.Folder()), std::set<std::string>{"dbsettings.dat"});
  }
  EXPECT_GT(failed, 0) << "the disk never ran full";
  EXPECT_TRUE(read);
  EXPECT_EQ(Stored(), SettingsText("17"));
}

// A program folder that takes no files at all (a read-only mount; for a
// user other than root, a folder without write permission).
TEST(SettingsReadOnlyFolderTest, EveryOperationFailsAndTheFolderStaysAsItWas) {
  TempFolder folder(/*asProgramFolder=*/true);
  TempFolder scratch;
  scratch.Write("plain.txt", SettingsText("17"));
  EncryptSettingsFile(scratch.File("plain.txt"), folder.File("dbsettings.dat"));
  const std::string before = folder.Read("dbsettings.dat");

  ReadOnlyFolder readOnly(folder.Path());
  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();
  const struct {
    const char* name;
    void (*run)();
  } operations[] = {
      {"ReadLastNewsId", [] { ReadLastNewsId(); }},
      {"ReadSettingsLines", [] { ReadSettingsLines(); }},
      {"SaveLastNewsId", [] { SaveLastNewsId("18"); }},
  };
  for (const auto& operation : operations) {
    try {
      operation.run();
      ADD_FAILURE() << operation.name << " went through";
    } catch (const FileError& e) {
      EXPECT_EQ(e.code().value(), readOnly.RefusalError()) << operation.name << ": " << e.what();
      EXPECT_EQ(e.Path(), folder.File("dbsettings.sim")) << operation.name;
    }
    EXPECT_EQ(folder.Read("dbsettings.dat"), before) << operation.name;
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"dbsettings.dat"}) << operation.name;
  }
}

}  // namespace
