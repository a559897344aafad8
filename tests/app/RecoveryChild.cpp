// quorvane_recovery_child: the other program of CrashRecoveryTest, run by
// it with --gtest_filter to play one case: a session that the test kills.
// It shares the test's user folders (QUORVANE_TEST_SHARED_USER_FOLDERS),
// so its journal lands where the test looks. Its lines on standard output,
// each in one write:
//   program PATH     its program folder (the test removes it after the kill)
//   journal PATH     its journal is on disk
//   row I G|Y|M      row I (from 0) has all three counts
//   done             the run ended before the kill
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/JournalKeeper.h"
#include "app/ui/ResultsModel.h"
#include "sim/Simulator.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

void Say(const std::string& line) {
  const std::string text = line + "\n";
  if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    std::_Exit(3);
}

class RecoveryChild : public MainWindowFixture {
 protected:
  // Says "journal PATH" once the window's journal is on disk.
  void WatchJournal() {
    auto* timer = new QTimer(window_.get());
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
      const auto path = window_->Journal().JournalPath();
      std::error_code ec;
      if (path.empty() || !std::filesystem::exists(path, ec)) return;
      Say("journal " + path.string());
      timer->stop();
    });
    timer->start(20);
  }
};

// 1,000 rows, every seventh ticked, then Gather Data with engines slow
// enough (some tens of seconds for the whole table) to be killed midway.
TEST_F(RecoveryChild, GatherData) {
  StartSimulator();
  sim_.ChangeScenario([](Scenario& s) {
    for (EngineScenario* engine : {&s.search.google, &s.search.yahoo, &s.search.msn})
      engine->pace.delayMs = 8;
  });
  OpenWindow(WindowOptions().Shown());
  Say("program " + program_.Path().string());
  std::vector<NewKeyword> phrases;
  for (int i = 1; i <= 1000; ++i) phrases.push_back({"phrase " + std::to_string(i), ""});
  window_->Results().AppendKeywords(phrases);
  for (int row = 0; row < 1000; row += 7) Model().SetChecked(row, true);
  WatchJournal();

  int next = 0;
  auto* rows = new QTimer(window_.get());
  QObject::connect(rows, &QTimer::timeout, rows, [this, &next] {
    while (next < 1000 && !window_->Results().Cell(next, kColMsn).empty()) {
      Say("row " + std::to_string(next) + " " + window_->Results().Cell(next, kColGoogle) + "|" +
          window_->Results().Cell(next, kColYahoo) + "|" + window_->Results().Cell(next, kColMsn));
      ++next;
    }
  });
  rows->start(10);
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
  window_->btnGatherDataClick();
  Say("done");
}

// Three rows, journaled, then waits to be killed.
TEST_F(RecoveryChild, Hold) {
  OpenWindow(WindowOptions().Shown());
  Say("program " + program_.Path().string());
  window_->Results().AppendKeywords({{"held 1", ""}, {"held 2", ""}, {"held 3", ""}});
  WatchJournal();
  for (;;) QTest::qWait(100);
}

}  // namespace
