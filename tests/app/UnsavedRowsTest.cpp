// Closing the main window with rows not yet saved: the question and each
// answer (a save that works, one into a read-only folder, Don't Save,
// Cancel), and when there is nothing to ask about (an empty table, a saved
// one, one opened from a file, one only sorted since).
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/ResultsTransfer.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/MainWindowFixture.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;
using Choice = Messages::Choice;
using Kind = MessageBox::Kind;

class UnsavedRowsTest : public MainWindowFixture {
 protected:
  UnsavedRowsTest() { OpenWindow(WindowOptions().Shown()); }

  void Save(const fs::path& file) {
    FileDialogs::SetNextFileName(QString::fromStdString(file.string()));
    window_->btnSaveResultsClick();
  }

  // The texts of the boxes shown, and forgets them.
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& box : MessageBox::ShownBoxes()) texts.push_back(box.text);
    MessageBox::ResetTestState();
    return texts;
  }
};

TEST_F(UnsavedRowsTest, TheQuestionNamesTheRowsAndHasThreeButtons) {
  window_->Results().AppendKeywords(std::vector<NewKeyword>(1234, NewKeyword{"golf", ""}));
  MessageBox::SetNextChoice(Choice::Cancel);
  EXPECT_FALSE(window_->close());
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  const auto& box = MessageBox::ShownBoxes()[0];
  EXPECT_EQ(box.kind, Kind::Question);
  EXPECT_EQ(box.text, "Save the 1,234 rows before closing?");
  EXPECT_EQ(box.title, "Quorvane");
  EXPECT_EQ(box.buttons, (std::vector<std::string>{"Save", "Don't Save", "Cancel"}));
  MessageBox::ResetTestState();

  MessageBox::SetNextChoice(Messages::Choice::Cancel);
  OpenWindow(WindowOptions().Shown());
  window_->Results().AppendKeywords({{"golf", ""}});
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Save the 1 row before closing?"}));
}

TEST_F(UnsavedRowsTest, EachAnswer) {
  TempFolder folder;
  ReadOnlyFolder readOnly(folder.Path());
  struct Case {
    const char* name;
    Choice choice;
    std::function<fs::path()> saveAs;  // for Save
    bool closes;
    std::vector<std::string> boxesAfterTheQuestion;
  };
  const std::string denied = folder.File("denied.csv").string();
  const std::vector<Case> cases = {
      {"Cancel keeps everything", Choice::Cancel, {}, false, {}},
      {"Don't Save closes", Choice::Discard, {}, true, {}},
      {"Save writes every row and closes",
       Choice::Go,
       [&] { return program_.File("kept.csv"); },
       true,
       {}},
      {"Save cancelled in its dialog keeps the window",
       Choice::Go,
       [] { return fs::path(); },
       false,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenWindow(WindowOptions().Shown());
    window_->Results().AppendKeywords({{"golf", ""}, {"tees", ""}, {"bag", ""}});
    window_->Results().SetCell(1, kColGoogle, "1,230");
    // A filter hides a row: the close's Save writes it all the same.
    Model().SetFilter("-bag");
    MessageBox::SetNextChoice(c.choice);
    if (c.saveAs) FileDialogs::SetNextFileName(QString::fromStdString(c.saveAs().string()));
    EXPECT_EQ(window_->close(), c.closes);
    EXPECT_EQ(window_->isVisible(), !c.closes);
    std::vector<std::string> shown = Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], "Save the 3 rows before closing?");
    EXPECT_EQ(window_->Results().RowCount(), 3);
    if (c.saveAs && !c.saveAs().empty()) {
      EXPECT_EQ(program_.Read("kept.csv"),
                "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
                "\"1\",\"golf\",\"\",\"\",\"\",\"\"\r\n"
                "\"2\",\"tees\",\"\",\"1,230\",\"\",\"\"\r\n"
                "\"3\",\"bag\",\"\",\"\",\"\",\"\"\r\n");
    }
    if (!c.closes) {
      // Still unsaved: the next close asks again.
      MessageBox::SetNextChoice(Choice::Cancel);
      EXPECT_FALSE(window_->close());
      EXPECT_EQ(Shown().size(), 1u);
    }
  }

  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();
  SCOPED_TRACE("Save into a read-only folder fails and keeps the window");
  OpenWindow(WindowOptions().Shown());
  window_->Results().AppendKeywords({{"golf", ""}});
  MessageBox::SetNextChoice(Choice::Go);
  FileDialogs::SetNextFileName(QString::fromStdString(denied));
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);  // the warning
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(window_->isVisible());
  const std::vector<std::string> shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Save the 1 row before closing?");
  EXPECT_NE(shown[1].find("could not be saved to \"" + denied + "\""), std::string::npos)
      << shown[1];
  EXPECT_FALSE(fs::exists(denied));
  EXPECT_EQ(window_->Results().RowCount(), 1);
}

// A table with nothing unsaved closes as it always did: no question.
TEST_F(UnsavedRowsTest, NoQuestionWhenNothingIsUnsaved) {
  const std::string opened = program_.File("opened.csv").string();
  program_.Write("opened.csv",
                 "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
                 "\"1\",\"golf\",\"\",\"\",\"\",\"\"\r\n");
  struct Case {
    const char* name;
    std::function<void()> session;
    bool asks;
  };
  const std::vector<Case> cases = {
      {"an empty table", [] {}, false},
      {"rows added, all deleted",
       [this] {
         AddRows({"a", "b"});
         MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
         window_->btnDeleteAllClick();
       },
       false},
      {"saved",
       [this] {
         AddRows({"a", "b"});
         Save(program_.File("s1.csv"));
       },
       false},
      {"saved, then sorted",
       [this] {
         AddRows({"b", "a"});
         Save(program_.File("s2.csv"));
         window_->lvwItemsColumnClick(kColKeywords);
       },
       false},
      {"saved, changed, the change undone",
       [this] {
         AddRows({"a"});
         Save(program_.File("s3.csv"));
         AddRows({"b"});
         window_->actUndoClick();
       },
       false},
      {"saved, then changed",
       [this] {
         AddRows({"a"});
         Save(program_.File("s4.csv"));
         window_->Results().SetCell(0, kColMsn, "5");
       },
       true},
      {"saved, then a step before the save undone",
       [this] {
         AddRows({"a", "b"});
         Save(program_.File("s5.csv"));
         window_->actUndoClick();
       },
       true},
      {"opened from a file into an empty table",
       [&] { window_->Transfer().OpenResultsFile(opened); }, false},
      {"opened from a file into a table with rows",
       [&] {
         AddRows({"a"});
         window_->Transfer().OpenResultsFile(opened);
       },
       true},
      {"saved with a filter hiding rows",
       [this] {
         AddRows({"golf", "tees"});
         Model().SetFilter("golf");
         Save(program_.File("s6.csv"));
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenWindow(WindowOptions().Shown());
    c.session();
    MessageBox::ResetTestState();
    if (c.asks) MessageBox::SetNextChoice(Choice::Discard);
    EXPECT_EQ(window_->UnsavedRows(), c.asks);
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(MessageBox::ShownBoxes().size(), c.asks ? 1u : 0u);
    MessageBox::ResetTestState();
  }
}

}  // namespace
