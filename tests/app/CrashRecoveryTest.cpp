// Crash recovery with real processes: a session killed (SIGKILL) in the
// middle of a Gather Data run is offered at the next start, and Restore
// brings back every row with its number and tick, and every count gathered
// up to a few seconds before the kill. Also: a journal that cannot be read
// is set aside with a message, two copies running at once keep their own
// journals, and a clean close leaves none.
//
// The killed sessions are played by quorvane_recovery_child, which shares
// this test's user folders.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/JournalSlot.h"
#include "app/SessionJournal.h"
#include "app/ui/FMain.h"
#include "app/ui/JournalKeeper.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/MainWindowFixture.h"
#include "support/RunningChild.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Choice = Messages::Choice;
using Kind = MessageBox::Kind;

// The names in the journals folder.
std::set<std::string> JournalEntries() {
  std::error_code ec;
  if (!fs::exists(JournalFolder(), ec)) return {};
  return FolderEntries(JournalFolder());
}

class CrashRecoveryTest : public MainWindowFixture {
 protected:
  ~CrashRecoveryTest() override {
    // What a killed child left goes too, so that the next case starts with
    // no journal.
    window_.reset();
    std::error_code ec;
    for (const auto& folder : childFolders_) fs::remove_all(folder, ec);
    fs::remove_all(JournalFolder(), ec);
  }

  std::unique_ptr<RunningChild> StartChild(const std::string& scenario) {
    ::setenv("QUORVANE_TEST_SHARED_USER_FOLDERS", "1", 1);
    auto child = std::make_unique<RunningChild>(std::vector<std::string>{
        QUORVANE_RECOVERY_CHILD, "--gtest_filter=RecoveryChild." + scenario});
    ::unsetenv("QUORVANE_TEST_SHARED_USER_FOLDERS");
    return child;
  }

  // The rest of the child's line that starts with `prefix`, skipping the
  // others (it keeps a list of its program folders to remove).
  std::optional<std::string> Expect(RunningChild& child, const std::string& prefix,
                                    std::chrono::milliseconds timeout = 20s) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      const auto line = child.ReadLine(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
      if (!line) break;
      if (Note(*line) && prefix == "program ") return line->substr(8);
      if (line->rfind(prefix, 0) == 0) return line->substr(prefix.size());
    }
    ADD_FAILURE() << "the child never said \"" << prefix << "\"";
    return std::nullopt;
  }

  bool Note(const std::string& line) {
    if (line.rfind("program ", 0) != 0) return false;
    childFolders_.push_back(line.substr(8));
    return true;
  }

  // Shows a new window and waits for what it offers after its first show.
  void OpenAndWaitForTheOffer(int boxes) {
    OpenWindow(WindowOptions().Shown());
    for (int i = 0; i < 400 && static_cast<int>(MessageBox::ShownBoxes().size()) < boxes; ++i)
      QTest::qWait(10);
    QTest::qWait(20);
  }

  void WaitForTheJournal(TfrmMain& window) {
    for (int i = 0; i < 1000 && window.Journal().Pending(); ++i) QTest::qWait(10);
    ASSERT_FALSE(window.Journal().Pending());
  }

  std::vector<fs::path> childFolders_;
};

TEST_F(CrashRecoveryTest, ASessionKilledDuringGatherDataIsRestored) {
  const auto start = Clock::now();
  auto child = StartChild("GatherData");

  // Rows as the child reports them done, with when the report came.
  struct Done {
    Clock::time_point at;
    std::string cells;
  };
  std::map<int, Done> done;
  bool journaled = false;
  const auto take = [&](const std::string& line, Clock::time_point at) {
    Note(line);
    journaled = journaled || line.rfind("journal ", 0) == 0;
    if (line == "done") ADD_FAILURE() << "the run ended before the kill";
    if (line.rfind("row ", 0) != 0) return;
    const std::size_t space = line.find(' ', 4);
    done[std::stoi(line.substr(4, space - 4))] = Done{at, line.substr(space + 1)};
  };
  // A few journal intervals into the run.
  while (Clock::now() - start < 9s) {
    if (const auto line = child->ReadLine(50ms)) take(*line, Clock::now());
  }
  ASSERT_TRUE(journaled) << "no journal in 9 s";
  const auto kill = Clock::now();
  child->KillAndWait(SIGKILL);
  for (const auto& line : child->RemainingLines()) take(line, kill);
  const auto sure = kill - 3500ms;  // the interval, a pass and a write
  int mustBeBack = 0;
  for (const auto& [row, d] : done) mustBeBack += d.at <= sure ? 1 : 0;
  ASSERT_GE(mustBeBack, 20) << "too few rows gathered before the kill to tell";
  ASSERT_LT(done.size(), 1000u) << "killed after the run";

  MessageBox::SetNextChoice(Choice::Go);
  OpenAndWaitForTheOffer(1);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  const auto& offer = MessageBox::ShownBoxes()[0];
  EXPECT_EQ(offer.kind, Kind::Question);
  EXPECT_EQ(offer.text,
            "Quorvane did not close properly. Restore the 1,000 rows of your last session?");
  EXPECT_EQ(offer.buttons, (std::vector<std::string>{"Restore", "Discard"}));

  ASSERT_EQ(window_->Results().RowCount(), 1000);
  EXPECT_EQ(ItemCount(), "1000 items listed");
  int restoredCounts = 0;
  for (int row = 0; row < 1000; ++row) {
    SCOPED_TRACE(row);
    const auto cells = Row(row);
    EXPECT_EQ(cells[kColNo], std::to_string(row + 1));
    EXPECT_EQ(cells[kColKeywords], "phrase " + std::to_string(row + 1));
    EXPECT_EQ(Model().Checked(row), row % 7 == 0);
    const std::string counts = cells[kColGoogle] + "|" + cells[kColYahoo] + "|" + cells[kColMsn];
    const auto reported = done.find(row);
    if (reported != done.end() && reported->second.at <= sure) {
      EXPECT_EQ(counts, reported->second.cells) << "gathered well before the kill";
    } else if (!cells[kColMsn].empty()) {
      ASSERT_NE(reported, done.end()) << "counts the child never had";
      EXPECT_EQ(counts, reported->second.cells);
    }
    restoredCounts += cells[kColMsn].empty() ? 0 : 1;
  }
  EXPECT_GE(restoredCounts, mustBeBack);

  // The journal is this session's now; the rows are unsaved. A clean close
  // removes it, and nothing is offered at the next start.
  EXPECT_TRUE(window_->UnsavedRows());
  EXPECT_EQ(JournalEntries().size(), 2u) << "the adopted journal and its lock";
  MessageBox::ResetTestState();
  MessageBox::SetNextChoice(Choice::Discard);
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(JournalEntries().empty());
  MessageBox::ResetTestState();
  OpenAndWaitForTheOffer(0);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(CrashRecoveryTest, TwoCopiesAtOnceKeepTheirOwnJournals) {
  auto child = StartChild("Hold");
  Expect(*child, "program ");
  const auto childJournal = Expect(*child, "journal ");
  ASSERT_TRUE(childJournal);

  // The other copy is alive: its journal is not offered.
  OpenAndWaitForTheOffer(0);
  QTest::qWait(200);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  AddRows({"mine"});
  WaitForTheJournal(*window_);
  const fs::path mine = window_->Journal().JournalPath();
  EXPECT_NE(mine, fs::path(*childJournal));
  EXPECT_TRUE(fs::exists(mine));
  EXPECT_TRUE(fs::exists(*childJournal));

  // Killed, the other copy's journal is offered to a new window, and this
  // window's journal is not.
  child->KillAndWait(SIGKILL);
  MessageBox::SetNextChoice(Choice::Discard);
  std::unique_ptr<TfrmMain> second = NewWindow(WindowOptions().Shown());
  for (int i = 0; i < 400 && MessageBox::ShownBoxes().empty(); ++i) QTest::qWait(10);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "Quorvane did not close properly. Restore the 3 rows of your last session?");
  EXPECT_EQ(second->Results().RowCount(), 0) << "discarded";
  EXPECT_FALSE(fs::exists(*childJournal)) << "Discard removes it";
  EXPECT_TRUE(fs::exists(mine));
  second.reset();
  window_.reset();
  EXPECT_TRUE(JournalEntries().empty());
}

TEST_F(CrashRecoveryTest, AJournalThatCannotBeReadIsSetAsideWithAMessage) {
  // A good journal of an older session and a damaged one of a newer one,
  // both left by programs that are gone.
  fs::path good;
  {
    auto slot = JournalSlot::Open(JournalFolder());
    ASSERT_TRUE(slot);
    JournalBuilder builder;
    builder.Add(ResultRow{{"7", "older", "", "1", "2", "3"}, true});
    WriteFileBytes(slot->JournalPath(), builder.Finish());
    fs::last_write_time(slot->JournalPath(), fs::file_time_type::clock::now() - 1h);
    good = slot->JournalPath();
  }
  fs::path damaged;
  std::string damagedBytes;
  {
    auto slot = JournalSlot::Open(JournalFolder());
    ASSERT_TRUE(slot);
    JournalBuilder builder;
    builder.Add(ResultRow{{"1", "newer", "", "", "", ""}, false});
    damagedBytes = builder.Finish();
    damagedBytes.resize(damagedBytes.size() - 5);  // a disk that lost the end
    WriteFileBytes(slot->JournalPath(), damagedBytes);
    damaged = slot->JournalPath();
  }
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  MessageBox::SetNextChoice(Choice::Go);
  OpenAndWaitForTheOffer(2);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  fs::path aside = damaged;
  aside.replace_extension(".unreadable");
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Warning);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The rows of an earlier session could not be restored: its journal ends before its "
            "last row. The journal was kept as \"" +
                aside.string() + "\".");
  EXPECT_EQ(ReadFileBytes(aside), damagedBytes) << "kept as it was";
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text,
            "Quorvane did not close properly. Restore the 1 row of your last session?");
  ASSERT_EQ(window_->Results().RowCount(), 1);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"7", "older", "", "1", "2", "3"}));
  EXPECT_TRUE(Model().Checked(0));
  EXPECT_EQ(window_->Journal().JournalPath(), good);

  // Set aside, it is never offered again; it stays for the user.
  window_.reset();
  MessageBox::ResetTestState();
  OpenAndWaitForTheOffer(0);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_EQ(JournalEntries(), std::set<std::string>{aside.filename().string()});
}

// However the user answers the close, a clean end leaves no journal; a
// save removes it at once.
TEST_F(CrashRecoveryTest, ACleanCloseLeavesNoJournal) {
  for (const Choice answer : {Choice::Discard, Choice::Go}) {
    SCOPED_TRACE(answer == Choice::Go ? "Save" : "Don't Save");
    OpenWindow(WindowOptions().Shown());
    AddRows({"a", "b"});
    WaitForTheJournal(*window_);
    ASSERT_EQ(JournalEntries().size(), 2u);
    const std::string journal = ReadFileBytes(window_->Journal().JournalPath());
    EXPECT_NE(journal.find("\"2\",\"b\""), std::string::npos);
    MessageBox::SetNextChoice(answer);
    FileDialogs::SetNextFileName(QString::fromStdString(program_.File("saved.csv").string()));
    if (answer == Choice::Go) std::filesystem::remove(program_.File("saved.csv"));
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(JournalEntries().empty());
    FileDialogs::ResetTestState();
  }

  OpenWindow(WindowOptions().Shown());
  AddRows({"a"});
  WaitForTheJournal(*window_);
  ASSERT_FALSE(JournalEntries().empty());
  FileDialogs::SetNextFileName(QString::fromStdString(program_.File("other.csv").string()));
  window_->btnSaveResultsClick();
  EXPECT_TRUE(JournalEntries().empty()) << "a saved table needs none";
  AddRows({"b"});
  WaitForTheJournal(*window_);
  EXPECT_EQ(JournalEntries().size(), 2u) << "changed again: journaled again";
}

}  // namespace
