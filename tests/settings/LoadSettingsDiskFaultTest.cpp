// Start-up with a program folder that cannot take the working copy of the
// settings: the disk is full, or the folder is read-only. The load stops
// with a warning that names the file and the reason; the window opens
// unbranded and nothing is left in the folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "app/ui/FMain.h"
#include "base/ProgramFolder.h"
#include "base/ui/MessageBox.h"
#include "settings/SettingsFile.h"
#include "support/MainWindowFixture.h"
#include "support/ReadOnlyFolder.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

class LoadSettingsDiskFaultTest : public MainWindowFixture {
 protected:
  ~LoadSettingsDiskFaultTest() override { SetProgramFolder({}); }

  // A branded folder whose settings text spans a few blocks.
  void Brand(const fs::path& folder) {
    std::string about;
    for (int i = 0; i < 300; ++i) about += "About line " + std::to_string(i) + "\r\n";
    scratch_.Write("plain.txt",
                   "<%%ApplicationName%%>Acme<%%/ApplicationName%%>\r\n<%%AboutText%%>" + about +
                       "<%%/AboutText%%>\r\n<%%Link1%%>One^http://one.example/<%%/Link1%%>\r\n");
    EncryptSettingsFile(scratch_.File("plain.txt"), folder / "dbsettings.dat");
    SetProgramFolder(folder);
  }

  // Opens the main window and checks the load was reported and stopped.
  void ExpectReportedAndUnbranded(const fs::path& folder, int reason) {
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    const auto owned = NewWindow(WindowOptions().WithStartUpTick());
    TfrmMain& window = *owned;
    ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
    const std::string& text = MessageBox::ShownBoxes()[0].text;
    EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Warning);
    EXPECT_NE(text.find((folder / "dbsettings.sim").string()), std::string::npos) << text;
    EXPECT_NE(text.find(std::strerror(reason)), std::string::npos) << text;
    EXPECT_EQ(window.windowTitle(), "Quorvane") << "no half-read brand";
    EXPECT_TRUE(window.Timer1().isActive()) << "creation went on after the error";
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(FolderEntries(folder), std::set<std::string>{"dbsettings.dat"});
  }

  TempFolder scratch_;
};

TEST_F(LoadSettingsDiskFaultTest, AFullDisk) {
  SmallDisk disk(256 * 1024);
  Brand(disk.Folder());
  disk.Fill(4096);  // less than the settings text
  ExpectReportedAndUnbranded(disk.Folder(), disk.FullError());
}

TEST_F(LoadSettingsDiskFaultTest, AReadOnlyProgramFolder) {
  TempFolder folder;
  Brand(folder.Path());
  ReadOnlyFolder readOnly(folder.Path());
  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();
  ExpectReportedAndUnbranded(folder.Path(), readOnly.RefusalError());
}

}  // namespace
