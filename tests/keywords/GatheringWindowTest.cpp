// "Gather Keywords" and "Gather Data" through the real main window and its
// dialogs, against the simulated services on 127.0.0.1.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/FCaptcha.h"
#include "sim/SearchPages.h"
#include "sim/SimText.h"
#include "sim/Simulator.h"
#include "sim/SuggestionPages.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

const std::string kWrongPassword = "Wrong password. Do you want try again?";
const std::string kCompleted = "Process completed sucessfull!";

// The count the simulator reports for a search term as it arrives there
// (quotes included when precise).
std::string SimCount(Engine engine, const std::string& term) {
  return FormatThousands(ResultCount(engine, term, ""));
}

class GatheringWindowTest : public MainWindowFixture {
 protected:
  GatheringWindowTest() {
    StartSimulator();
    OpenWindow();
  }

  ~GatheringWindowTest() override { EXPECT_FALSE(program_.Exists("test.html")); }

  QPushButton* GatherData() { return Find<QPushButton>("btnGatherData"); }

  void AddRows(const std::vector<std::string>& keywords, const std::string& old = "") {
    for (const auto& k : keywords) {
      const int row = window_->Results().RowCount();
      window_->Results().AppendKeywords({{k, ""}});
      for (int c : {kColGoogle, kColYahoo, kColMsn}) window_->Results().SetCell(row, c, old);
    }
  }

  // Clicks "Gather Data" and answers the search-type dialog.
  void GatherData(SearchType type) {
    WhenModalOpens([type](QWidget* dialog) {
      if (type == SearchType::Broad) Child<QRadioButton>(dialog, "rbBroad")->click();
      Child<QPushButton>(dialog, "btnOk")->click();
    });
    GatherData()->click();
  }

  std::vector<std::string> Targets(SimService service) {
    std::vector<std::string> targets;
    for (const auto& r : sim_.Requests(service)) targets.push_back(r.target);
    return targets;
  }

  void GatherKeywordsUntilClosed();
};

// --- Gather Keywords

TEST_F(GatheringWindowTest, SuggestionsAreAppendedAfterTheRowsThere) {
  AddRows({"a", "b", "c"});
  SetMainKeyword("golf clubs");
  window_->btnGatherKeywordClick();

  EXPECT_EQ(Targets(SimService::kSuggest),
            Cells{"/?seed=golf+clubs&adult_filter=remove_offensive&suggest=Hit+Me"});
  // The simulator's list ends with a "&nbsp;" row and one more row that
  // must not be taken; some counts are in <b>, some phrases hold & and '.
  const auto expected = SuggestionsFor("golf clubs", 12);
  ASSERT_EQ(window_->Results().RowCount(), 3 + 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(Row(3 + i),
              (Cells{std::to_string(4 + i), expected[static_cast<std::size_t>(i)].phrase,
                     expected[static_cast<std::size_t>(i)].countText, "", "", ""}));
  }
  EXPECT_EQ(window_->Results().Cell(6, kColKeywords), "golf clubs & accessories");
  EXPECT_EQ(window_->Results().Cell(8, kColKeywords), "women's golf clubs");
  EXPECT_EQ(ItemCount(), "15 items listed");
  EXPECT_EQ(Status(), kCompleted);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(GatheringWindowTest, KeywordGoesOutUnencodedAndUntrimmed) {
  SetMainKeyword("  tom & jerry");
  window_->btnGatherKeywordClick();
  // The service takes " jerry" as a parameter of its own and the seed as
  // "  tom ".
  EXPECT_EQ(Targets(SimService::kSuggest),
            Cells{"/?seed=++tom+&+jerry&adult_filter=remove_offensive&suggest=Hit+Me"});
  ASSERT_EQ(window_->Results().RowCount(), 12);
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords), "tom");
}

TEST_F(GatheringWindowTest, NoSuggestionsFromPagesWithoutTheirTable) {
  struct Case {
    const char* what;
    std::function<void(SuggestScenario&)> change;
    std::string status;
  };
  const Case cases[] = {
      {"footer only in capitals", [](SuggestScenario& s) { s.upperCaseFooter = true; }, kCompleted},
      {"no table", [](SuggestScenario& s) { s.noTable = true; }, kCompleted},
      {"error status", [](SuggestScenario& s) { s.status = 503; },
       "Connection error, check if you are connected and url exists."},
  };
  SetMainKeyword("golf");
  for (const auto& c : cases) {
    Scenario scenario;
    c.change(scenario.suggest);
    sim_.SetScenario(scenario);
    window_->btnGatherKeywordClick();
    EXPECT_EQ(window_->Results().RowCount(), 0) << c.what;
    EXPECT_EQ(ItemCount(), "0 item listed") << c.what;
    EXPECT_EQ(Status(), c.status) << c.what;
  }
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(GatheringWindowTest, NoMainKeywordSendsNothing) {
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnGatherKeywordClick();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "Please enter a main keyword before gather keywords.");
  EXPECT_EQ(sim_.RequestCount(), 0u);
}

TEST_F(GatheringWindowTest, WrongAnswerThenTheRightOne) {
  sim_.ChangeScenario(
      [](Scenario& s) { s.suggest.securityImage = SecurityImageMode::kUntilSolved; });
  SetMainKeyword("golf clubs");
  std::vector<std::string> images;
  // Types into the next security-image dialog and presses Ok.
  const auto answer = [this, &images](const QString& typed) {
    return [this, &images, typed](QWidget* dialog) {
      auto* captcha = qobject_cast<TfrmCaptcha*>(dialog);
      ASSERT_NE(captcha, nullptr);
      EXPECT_EQ(captcha->parentWidget(), window_.get());
      images.push_back(captcha->ImageSrc());
      Child<QLineEdit>(dialog, "edtPassword")->setText(typed);
      Child<QPushButton>(dialog, "btnOk")->click();
    };
  };
  WhenModalOpens([&](QWidget* dialog) {
    answer("nope")(dialog);
    WhenModalOpens(answer("qv7k"));
  });
  MessageBox::SetNextAnswer(Answer::Ok);

  window_->btnGatherKeywordClick();

  const std::string r1 = ChallengeRandom(1);
  const std::string r2 = ChallengeRandom(2);
  EXPECT_EQ(
      Targets(SimService::kSecurityImageAnswer),
      (Cells{"/keyword-suggestion-tool.html?password=nope&random=" + r1 + "&seed=golf+clubs",
             "/keyword-suggestion-tool.html?password=qv7k&random=" + r2 + "&seed=golf+clubs"}));
  // The second dialog shows the image of the newest page.
  EXPECT_EQ(images, (Cells{sim_.BaseUrl() + "/captcha.png?random=" + r1 + "&x=1",
                           sim_.BaseUrl() + "/captcha.png?random=" + r2 + "&x=1"}));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, kWrongPassword);
  EXPECT_EQ(window_->Results().RowCount(), 12);
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords), "golf clubs");
}

TEST_F(GatheringWindowTest, CancelledDialogStillAnswersAndCancelAtTheQuestionEnds) {
  sim_.ChangeScenario([](Scenario& s) { s.suggest.securityImage = SecurityImageMode::kAlways; });
  SetMainKeyword("golf");
  int dialogs = 0;
  WhenModalOpens([&](QWidget* dialog) {
    ++dialogs;
    Child<QPushButton>(dialog, "btnCancel")->click();
  });
  MessageBox::SetNextAnswer(Answer::Cancel);

  window_->btnGatherKeywordClick();

  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(
      Targets(SimService::kSecurityImageAnswer),
      Cells{"/keyword-suggestion-tool.html?password=&random=" + ChallengeRandom(1) + "&seed=golf"});
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, kWrongPassword);
  EXPECT_EQ(window_->Results().RowCount(), 0);
}

// Closing the main window in the middle of the command: it ends at once
// through its failure paths, leaving no dialog, row or working file.
void GatheringWindowTest::GatherKeywordsUntilClosed() {
  QElapsedTimer clock;
  clock.start();
  window_->btnGatherKeywordClick();
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_FALSE(window_->AbortRequested());
  sim_.ReleaseHeld();
}

TEST_F(GatheringWindowTest, ClosingWhileTheSuggestionsLoad) {
  SetMainKeyword("golf");
  sim_.ChangeScenario([](Scenario& s) { s.suggest.pace.delayMs = 60000; });
  When([this] { return !sim_.Requests(SimService::kSuggest).empty(); },
       [this] { window_->close(); });
  GatherKeywordsUntilClosed();
}

TEST_F(GatheringWindowTest, ClosingWhileTheAnswerLoads) {
  SetMainKeyword("golf");
  sim_.ChangeScenario([](Scenario& s) { s.suggest.securityImage = SecurityImageMode::kAlways; });
  WhenModalOpens([this](QWidget* dialog) {
    sim_.ChangeScenario([](Scenario& s) { s.suggest.pace.delayMs = 60000; });
    Child<QLineEdit>(dialog, "edtPassword")->setText("abc");
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  When([this] { return !sim_.Requests(SimService::kSecurityImageAnswer).empty(); },
       [this] { window_->close(); });
  GatherKeywordsUntilClosed();
}

// --- Gather Data

TEST_F(GatheringWindowTest, PreciseAndBroadRunsAskEachEngineForEveryRow) {
  AddRows({"golf clubs", "tee"}, "old");
  struct Case {
    SearchType type;
    std::string quote;
    std::string simQuote;  // the quote as the simulator decodes it
  };
  for (const Case& c : {Case{SearchType::Precise, "%22", "\""}, Case{SearchType::Broad, "", ""}}) {
    sim_.ClearRequests();
    GatherData(c.type);
    EXPECT_EQ(window_->CurrentSearchType(), c.type);
    EXPECT_EQ(Targets(SimService::kGoogle), (Cells{"/search?q=" + c.quote + "golf+clubs" + c.quote,
                                                   "/search?q=" + c.quote + "tee" + c.quote}));
    EXPECT_EQ(Targets(SimService::kYahoo), (Cells{"/search?p=" + c.quote + "golf+clubs" + c.quote,
                                                  "/search?p=" + c.quote + "tee" + c.quote}));
    EXPECT_EQ(Targets(SimService::kMsn),
              (Cells{"/results.aspx?q=" + c.quote + "golf+clubs" + c.quote,
                     "/results.aspx?q=" + c.quote + "tee" + c.quote}));
    // Google and Yahoo and MSN each come in turn for a row.
    const auto all = sim_.Requests();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[0].service, SimService::kGoogle);
    EXPECT_EQ(all[1].service, SimService::kYahoo);
    EXPECT_EQ(all[2].service, SimService::kMsn);
    for (int row = 0; row < 2; ++row) {
      const std::string term = c.simQuote + window_->Results().Cell(row, kColKeywords) + c.simQuote;
      EXPECT_EQ(Row(row)[kColGoogle], SimCount(Engine::kGoogle, term));
      EXPECT_EQ(Row(row)[kColYahoo], SimCount(Engine::kYahoo, term));
      EXPECT_EQ(Row(row)[kColMsn], SimCount(Engine::kMsn, term));
    }
    EXPECT_EQ(GatherData()->text(), "Gather Data");
    EXPECT_EQ(Status(), kCompleted);
  }
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(GatheringWindowTest, EmptyTableOrCancelSendsNothing) {
  MessageBox::SetNextAnswer(Answer::Ok);
  GatherData()->click();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "You need add keywords to gather data from search engines.");

  AddRows({"golf"});
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnCancel")->click(); });
  GatherData()->click();
  EXPECT_EQ(sim_.RequestCount(), 0u);
  EXPECT_EQ(GatherData()->text(), "Gather Data");
}

TEST_F(GatheringWindowTest, MissingMarkersEmptyTheCellAndAFailingEngineKeepsIt) {
  sim_.ChangeScenario([](Scenario& s) {
    s.search.google.mode = EngineMode::kNoMarkers;
    s.search.yahoo.mode = EngineMode::kFail;
    s.search.msn.mode = EngineMode::kNoNarrowing;
  });
  AddRows({"golf clubs", "tee", "green fee"}, "old");
  GatherData(SearchType::Broad);

  EXPECT_EQ(sim_.Requests(SimService::kYahoo).size(), 3u) << "the run goes on after a failure";
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(Row(row)[kColGoogle], "") << row;
    EXPECT_EQ(Row(row)[kColYahoo], "old") << row;
    EXPECT_EQ(Row(row)[kColMsn], SimCount(Engine::kMsn, window_->Results().Cell(row, kColKeywords)))
        << row;
  }
  EXPECT_EQ(GatherData()->text(), "Gather Data");
}

TEST_F(GatheringWindowTest, StopWhileRow3YahooLoads) {
  AddRows({"golf clubs", "tee", "green fee", "caddy", "par"}, "old");
  // Row 3's Yahoo page hangs; the rows before answer at once.
  sim_.SetRequestObserver([this](const SimRequest& r) {
    if (r.service == SimService::kGoogle && r.target == "/search?q=%22green+fee%22")
      sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 60000; });
  });
  qint64 stopTook = -1;
  When([this] { return sim_.Requests(SimService::kYahoo).size() == 3; },
       [this, &stopTook] {
         EXPECT_EQ(GatherData()->text(), "Stop");
         EXPECT_TRUE(GatherData()->isEnabled());
         QElapsedTimer clock;
         clock.start();
         GatherData()->click();
         stopTook = clock.elapsed();
         EXPECT_EQ(GatherData()->text(), "Gather Data");
       });
  QElapsedTimer clock;
  clock.start();
  GatherData(SearchType::Precise);

  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_GE(stopTook, 0);
  EXPECT_EQ(Row(1)[kColMsn], SimCount(Engine::kMsn, "\"tee\""));
  EXPECT_EQ(Row(2), (Cells{"3", "green fee", "", SimCount(Engine::kGoogle, "\"green fee\""), "old",
                           "old"}));
  EXPECT_EQ(Row(3), (Cells{"4", "caddy", "", "old", "old", "old"}));
  EXPECT_EQ(Row(4), (Cells{"5", "par", "", "old", "old", "old"}));
  EXPECT_EQ(sim_.Requests(SimService::kMsn).size(), 2u);
  EXPECT_EQ(sim_.Requests(SimService::kGoogle).size(), 3u);
  EXPECT_EQ(GatherData()->text(), "Gather Data");
  // The stop does not outlive the run: the next fetch starts clean.
  EXPECT_FALSE(window_->AbortRequested());
  sim_.SetRequestObserver({});
  sim_.ReleaseHeld();
}

TEST_F(GatheringWindowTest, HeaderClicksAndRowCommandsWaitForTheRunToEnd) {
  AddRows({"b", "c", "a"});
  sim_.ChangeScenario([](Scenario& s) { s.search.google.pace.delayMs = 200; });
  QHeaderView* header = Find<QTableView>("lvwItems")->horizontalHeader();
  const auto clickKeywordsHeader = [header] {
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(kColKeywords) + 10, header->height() / 2));
  };
  bool checked = false;
  When([this] { return !sim_.Requests(SimService::kGoogle).empty(); },
       [&] {
         checked = true;
         EXPECT_EQ(GatherData()->text(), "Stop");
         clickKeywordsHeader();
         window_->lvwItemsColumnClick(kColKeywords);
         EXPECT_EQ(window_->SortColumn(), -1);
         EXPECT_EQ(window_->Results().Cell(0, kColKeywords), "b");
         for (const char* name : {"btnGatherKeyword", "btnMainKeyword", "btnAddKeyword",
                                  "btnDeleteSelected", "btnDeleteAll"})
           EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
         for (const char* name : {"btnGatherData", "btnSelectAll", "btnClearSelection"})
           EXPECT_TRUE(Find<QPushButton>(name)->isEnabled()) << name;
       });
  GatherData(SearchType::Broad);
  EXPECT_TRUE(checked);

  for (const char* name : {"btnGatherKeyword", "btnDeleteAll", "btnGatherData"})
    EXPECT_TRUE(Find<QPushButton>(name)->isEnabled()) << name;
  clickKeywordsHeader();
  EXPECT_EQ(window_->SortColumn(), kColKeywords);
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords), "a");
}

TEST_F(GatheringWindowTest, ClosingTheWindowEndsGatherData) {
  window_->show();
  AddRows({"golf clubs", "tee", "par"}, "old");
  sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 60000; });
  // The rows were never saved: the close asks, and Don't Save closes.
  MessageBox::SetNextChoice(Messages::Choice::Discard);
  When([this] { return !sim_.Requests(SimService::kYahoo).empty(); }, [this] { window_->close(); });
  QElapsedTimer clock;
  clock.start();
  GatherData(SearchType::Broad);

  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(sim_.Requests(SimService::kMsn).size(), 0u);
  EXPECT_EQ(Row(0)[kColYahoo], "old");
  EXPECT_NE(Row(0)[kColGoogle], "old");
  EXPECT_EQ(Row(1)[kColGoogle], "old");
  EXPECT_EQ(GatherData()->text(), "Gather Data");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Question);
  sim_.ReleaseHeld();
}

// The window is drawn at most once per frame during a run; once the run
// has ended and the frame has passed, the screen shows the final table and
// status, the same as a full repaint of the window gives.
TEST_F(GatheringWindowTest, AShownRunEndsWithTheScreenUpToDate) {
  window_->resize(900, 600);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  std::vector<std::string> rows;
  for (int i = 1; i <= 20; ++i) rows.push_back("golf clubs " + std::to_string(i));
  AddRows(rows, "old");
  GatherData(SearchType::Precise);
  ASSERT_EQ(window_->Results().Cell(19, kColMsn), SimCount(Engine::kMsn, "\"golf clubs 20\""));
  EXPECT_EQ(Status(), kCompleted);

  const auto screen = [this] { return window_->screen()->grabWindow(window_->winId()).toImage(); };
  QTest::qWait(200);  // past any frame still held
  const QImage afterRun = screen();
  window_->repaint();
  QCoreApplication::processEvents();
  EXPECT_TRUE(afterRun == screen()) << "part of the window was left as it was during the run";
}

}  // namespace
