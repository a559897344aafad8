// "Gather Data for Ticked Rows" and "Gather Missing Data" through the main
// window's context menu, and Gather Data under a filter, against the
// simulated services on 127.0.0.1.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/MessageBox.h"
#include "sim/SearchPages.h"
#include "sim/SimText.h"
#include "sim/Simulator.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

const std::string kNeedKeywords = "You need add keywords to gather data from search engines.";

std::string SimCount(Engine engine, const std::string& term) {
  return FormatThousands(ResultCount(engine, term, ""));
}

class TargetedRunsTest : public MainWindowFixture {
 protected:
  TargetedRunsTest() {
    StartSimulator();
    OpenWindow();
  }

  QPushButton* GatherData() { return window_->findChild<QPushButton*>("btnGatherData"); }

  // Runs `start` and answers the search-type dialog it opens with Broad.
  void Run(const std::function<void()>& start) {
    WhenModalOpens([](QWidget* dialog) {
      Child<QRadioButton>(dialog, "rbBroad")->click();
      Child<QPushButton>(dialog, "btnOk")->click();
    });
    start();
  }

  // The phrases asked of Google, in order.
  Cells GoogleTerms() {
    Cells terms;
    for (const auto& r : sim_.Requests(SimService::kGoogle)) terms.push_back(r.target);
    return terms;
  }

  static std::string GoogleTarget(const std::string& phrase) { return "/search?q=" + phrase; }

  bool Complete(int row) {
    for (const int c : {kColGoogle, kColYahoo, kColMsn})
      if (window_->Results().Cell(row, c).empty()) return false;
    return true;
  }
};

TEST_F(TargetedRunsTest, TheCommandsSitInTheTableMenuAboveTheSortCommands) {
  const QList<QAction*> menu = window_->findChild<QTableView*>("lvwItems")->actions();
  const auto at = [&](const char* name) { return menu.indexOf(Action(name)); };
  EXPECT_EQ(Action("actGatherTicked")->text(), "Gather Data for Ticked Rows");
  EXPECT_EQ(Action("actGatherMissing")->text(), "Gather Missing Data");
  EXPECT_LT(at("actFilter"), at("actGatherTicked"));
  EXPECT_LT(at("actGatherTicked"), at("actGatherMissing"));
  ASSERT_GT(at("actSortColumn0"), at("actGatherMissing") + 1);
  EXPECT_TRUE(menu[at("actSortColumn0") - 1]->isSeparator());
}

TEST_F(TargetedRunsTest, AStoppedRunIsResumedByGatherMissingData) {
  AddRows({"a", "b", "c", "d", "e"});
  // Row 3's Yahoo page hangs until the run is stopped there.
  sim_.SetRequestObserver([this](const SimRequest& r) {
    if (r.service == SimService::kGoogle && r.target == GoogleTarget("c"))
      sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 60000; });
  });
  WhenReady(
      window_.get(), [this] { return sim_.Requests(SimService::kYahoo).size() == 3; },
      [this] { GatherData()->click(); });
  Run([this] { window_->btnGatherDataClick(); });
  ASSERT_EQ(GatherData()->text(), "Gather Data");
  EXPECT_TRUE(Complete(0) && Complete(1));
  EXPECT_EQ(window_->Results().Cell(2, kColGoogle), SimCount(Engine::kGoogle, "c"));
  EXPECT_FALSE(Complete(2));
  // The run panel says where it stopped and how to go on, until the next
  // command.
  auto* panel = window_->findChild<QLabel*>("RunProgressPanel");
  EXPECT_FALSE(panel->isHidden());
  EXPECT_EQ(panel->text(),
            QString::fromUtf8("Stopped at row 3 of 5 \u2014 Gather Missing Data goes "
                              "on from there"));
  window_->findChild<QPushButton*>("btnClearSelection")->click();
  EXPECT_TRUE(panel->isHidden()) << "gone with the next command";
  sim_.SetRequestObserver({});
  sim_.ReleaseHeld();
  // Google pages take a while, so the run can be looked at as it goes.
  sim_.ChangeScenario([](Scenario& s) {
    s.search.yahoo.pace.delayMs = 0;
    s.search.google.pace.delayMs = 50;
  });
  sim_.ClearRequests();

  bool stopCaptionSeen = false;
  WhenReady(
      window_.get(), [this] { return !sim_.Requests(SimService::kGoogle).empty(); },
      [&] {
        stopCaptionSeen = GatherData()->text() == "Stop";
        EXPECT_FALSE(Action("actGatherMissing")->isEnabled()) << "no second run meanwhile";
        EXPECT_FALSE(Action("actGatherTicked")->isEnabled());
      });
  Run([this] { Action("actGatherMissing")->trigger(); });
  EXPECT_TRUE(stopCaptionSeen);
  EXPECT_EQ(GoogleTerms(), (Cells{GoogleTarget("c"), GoogleTarget("d"), GoogleTarget("e")}))
      << "only the rows still missing a count";
  for (int row = 0; row < 5; ++row) EXPECT_TRUE(Complete(row)) << row;
  EXPECT_EQ(window_->Results().Cell(4, kColMsn), SimCount(Engine::kMsn, "e"));
  EXPECT_EQ(GatherData()->text(), "Gather Data");
  EXPECT_TRUE(Action("actGatherMissing")->isEnabled());
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_TRUE(panel->isHidden()) << "a run that ends at its last row leaves nothing";

  // Nothing left to do: it says so and asks nothing.
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actGatherMissing")->trigger();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Information);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "Every row already has its search engine data.");
  EXPECT_EQ(sim_.Requests(SimService::kGoogle).size(), 3u);
}

TEST_F(TargetedRunsTest, GatherDataForTickedRowsVisitsOnlyThem) {
  AddRows({"a", "b", "c", "d"});
  Model().SetChecked(1, true);
  Model().SetChecked(3, true);
  Run([this] { Action("actGatherTicked")->trigger(); });
  EXPECT_EQ(GoogleTerms(), (Cells{GoogleTarget("b"), GoogleTarget("d")}));
  EXPECT_TRUE(Complete(1) && Complete(3));
  EXPECT_EQ(window_->Results().Cell(0, kColGoogle), "");
  EXPECT_EQ(window_->Results().Cell(2, kColGoogle), "");

  // Under a filter, only the ticked rows shown.
  sim_.ClearRequests();
  Model().SetFilter("-b");
  Run([this] { window_->actGatherTickedClick(); });
  EXPECT_EQ(GoogleTerms(), (Cells{GoogleTarget("d")}));
}

TEST_F(TargetedRunsTest, NothingToVisitSaysSoAndAsksNothing) {
  struct Case {
    const char* action;
    bool rows;
    const char* message;
  };
  const Case cases[] = {
      {"actGatherTicked", false, kNeedKeywords.c_str()},
      {"actGatherMissing", false, kNeedKeywords.c_str()},
      {"actGatherTicked", true, "No rows are ticked or highlighted."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    window_->Results().Clear();
    if (c.rows) AddRows({"a", "b"});
    MessageBox::ResetTestState();
    MessageBox::SetNextAnswer(Answer::Ok);
    Action(c.action)->trigger();
    ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
    EXPECT_EQ(MessageBox::ShownBoxes()[0].text, c.message);
  }
  EXPECT_EQ(sim_.RequestCount(), 0u);
}

TEST_F(TargetedRunsTest, TheRunPanelFollowsGatherDataAndGoesAtItsEnd) {
  window_->show();
  AddRows({"a", "b", "c", "d", "e"});
  auto* panel = window_->findChild<QLabel*>("RunProgressPanel");
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->isVisible()) << "nothing extra before a run";
  EXPECT_EQ(panel->accessibleName(), "Run progress");
  // Each row's Google page takes a while: time to look at the panel.
  sim_.ChangeScenario([](Scenario& s) { s.search.google.pace.delayMs = 50; });
  std::vector<QString> seen;
  WhenReady(
      window_.get(), [this] { return sim_.Requests(SimService::kGoogle).size() == 1; },
      [&] { seen.push_back(panel->isVisible() ? panel->text() : QString()); });
  WhenReady(
      window_.get(), [this] { return sim_.Requests(SimService::kGoogle).size() == 5; },
      [&] { seen.push_back(panel->isVisible() ? panel->text() : QString()); });
  Run([this] { GatherData()->click(); });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "Row 1 of 5");
  EXPECT_TRUE(seen[1].startsWith(QString::fromUtf8("Row 5 of 5 \xc2\xb7 about ")) &&
              seen[1].endsWith(" left"))
      << seen[1].toStdString();
  EXPECT_FALSE(panel->isVisible());

  // Gather Keywords has no row count to tell.
  window_->RunBegins(0);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->text(), "Gathering keywords");
  window_->RunEnds();
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(TargetedRunsTest, GatherDataUnderAFilterVisitsOnlyTheShownRows) {
  AddRows({"golf", "tennis", "golf balls", "soccer"});
  Model().SetFilter("golf");
  Run([this] { GatherData()->click(); });
  EXPECT_EQ(GoogleTerms(), (Cells{GoogleTarget("golf"), GoogleTarget("golf+balls")}));
  EXPECT_EQ(window_->Results().Cell(1, kColGoogle), "");
  EXPECT_EQ(window_->Results().Cell(2, kColGoogle), SimCount(Engine::kGoogle, "golf balls"));

  // A filter that shows nothing leaves nothing to gather: it says so and
  // asks nothing.
  sim_.ClearRequests();
  Model().SetFilter("-golf -tennis -soccer");
  MessageBox::SetNextAnswer(Answer::Ok);
  GatherData()->click();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "The filter shows no rows to gather data for.");
  EXPECT_EQ(sim_.RequestCount(), 0u);
}

}  // namespace
