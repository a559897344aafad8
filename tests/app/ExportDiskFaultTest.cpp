// "Save Results" to a disk that runs full and into a read-only folder: the
// save is reported with a warning that names the file and the reason, an
// earlier file of that name stays as it was, and no partial or temporary
// file is left behind. Once there is room again, saving works.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "app/ui/FMain.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/MainWindowFixture.h"
#include "support/ReadOnlyFolder.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

const std::string kEarlier = "\"No\",\"Keywords\"\r\n\"1\",\"an earlier save\"\r\n";

class ExportDiskFaultTest : public MainWindowFixture {
 protected:
  ExportDiskFaultTest() {
    OpenWindow();
    // Some kilobytes of CSV, so that a disk can run full in the middle.
    for (int i = 1; i <= 300; ++i)
      window_->Results().AppendKeywords(
          {{"golf clubs for beginners " + std::to_string(i), "1,000"}});
  }
  void Save(const fs::path& file, const QString& type = {}) {
    FileDialogs::SetNextFileName(QString::fromStdString(file.string()), type);
    window_->findChild<QPushButton*>("btnSaveResults")->click();
  }

  // Saving over a file that is there asks first: OK.
  static void ReplaceIfThere(const fs::path& file) {
    std::error_code ec;
    if (fs::exists(file, ec)) MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  }

  // Saving `file` failed for `reason`: one warning that says so (after
  // the question about an earlier file of that name, if there is one).
  void ExpectWarning(const fs::path& file, int reason) {
    ASSERT_FALSE(MessageBox::ShownBoxes().empty());
    EXPECT_LE(MessageBox::ShownBoxes().size(), 2u);
    const auto& box = MessageBox::ShownBoxes().back();
    EXPECT_EQ(box.kind, MessageBox::Kind::Warning);
    const std::string says = "\"" + file.string() + "\": " + std::strerror(reason);
    EXPECT_NE(box.text.find(says), std::string::npos) << box.text;
    MessageBox::ResetTestState();
  }
};

TEST_F(ExportDiskFaultTest, AFullDisk) {
  const struct {
    const char* name;
    bool earlierFile;
    std::uintmax_t room;
  } cases[] = {
      {"no room, over an earlier file", true, 0},
      {"runs full half-way, over an earlier file", true, 8192},
      {"no room, a new file", false, 0},
      {"runs full half-way, a new file", false, 8192},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SmallDisk disk(256 * 1024);
    const fs::path file = disk.Folder() / "results.csv";
    if (c.earlierFile) WriteFileBytes(file, kEarlier);
    const auto before = FolderEntries(disk.Folder());

    disk.Fill(c.room);
    ReplaceIfThere(file);
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    Save(file);
    disk.Unfill();
    ExpectWarning(file, disk.FullError());
    EXPECT_EQ(FolderEntries(disk.Folder()), before) << "no partial or temporary file";
    if (c.earlierFile) {
      EXPECT_EQ(ReadFileBytes(file), kEarlier);
    }

    ReplaceIfThere(file);
    Save(file);
    EXPECT_EQ(MessageBox::ShownBoxes().size(), c.earlierFile ? 1u : 0u)
        << "saved once there is room";
    MessageBox::ResetTestState();
    EXPECT_GT(ReadFileBytes(file).size(), 8192u);
    EXPECT_EQ(FolderEntries(disk.Folder()), std::set<std::string>{"results.csv"});
  }
}

TEST_F(ExportDiskFaultTest, AReadOnlyFolder) {
  TempFolder folder;
  const fs::path earlier = folder.File("results.csv");
  WriteFileBytes(earlier, kEarlier);
  ReadOnlyFolder readOnly(folder.Path());
  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();

  for (const char* name : {"results.csv", "new.csv"}) {
    SCOPED_TRACE(name);
    ReplaceIfThere(folder.File(name));
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    Save(folder.File(name));
    ExpectWarning(folder.File(name), readOnly.RefusalError());
    EXPECT_EQ(ReadFileBytes(earlier), kEarlier);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"results.csv"});
  }
}

// The same faults with the workbook type chosen.
const QString kWorkbook = QStringLiteral("Excel workbook (*.xlsx)");

TEST_F(ExportDiskFaultTest, AFullDiskWhileSavingAWorkbook) {
  for (const std::uintmax_t room : {std::uintmax_t{0}, std::uintmax_t{1024}}) {
    SCOPED_TRACE(room);
    SmallDisk disk(256 * 1024);
    const fs::path file = disk.Folder() / "results.xlsx";
    WriteFileBytes(file, kEarlier);

    disk.Fill(room);
    ReplaceIfThere(file);
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    Save(file, kWorkbook);
    disk.Unfill();
    ExpectWarning(file, disk.FullError());
    EXPECT_EQ(ReadFileBytes(file), kEarlier);
    EXPECT_EQ(FolderEntries(disk.Folder()), std::set<std::string>{"results.xlsx"});

    ReplaceIfThere(file);
    Save(file, kWorkbook);
    EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u) << "saved once there is room";
    MessageBox::ResetTestState();
    EXPECT_EQ(ReadFileBytes(file).substr(0, 2), "PK");
    EXPECT_EQ(FolderEntries(disk.Folder()), std::set<std::string>{"results.xlsx"});
  }
}

TEST_F(ExportDiskFaultTest, AReadOnlyFolderWhileSavingAWorkbook) {
  TempFolder folder;
  const fs::path earlier = folder.File("results.xlsx");
  WriteFileBytes(earlier, kEarlier);
  ReadOnlyFolder readOnly(folder.Path());
  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();

  for (const char* name : {"results.xlsx", "new.xlsx"}) {
    SCOPED_TRACE(name);
    ReplaceIfThere(folder.File(name));
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    Save(folder.File(name), kWorkbook);
    ExpectWarning(folder.File(name), readOnly.RefusalError());
    EXPECT_EQ(ReadFileBytes(earlier), kEarlier);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"results.xlsx"});
  }
}

}  // namespace
