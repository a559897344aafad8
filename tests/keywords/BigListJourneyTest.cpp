// One user's afternoon with a big list, through the real window against the
// simulated engines on 127.0.0.1: paste 1,000 phrases, gather their counts,
// stop, resume with Gather Missing Data, filter out an unwanted word,
// remove duplicates, copy rows for a spreadsheet, save a workbook and a
// CSV, close, and open the CSV again in a new window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "sim/SearchPages.h"
#include "sim/SimText.h"
#include "sim/Simulator.h"
#include "support/ChildProcess.h"
#include "support/MainWindowFixture.h"
#include "support/TempFolder.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

constexpr int kPhrases = 1000;
constexpr int kStopAt = 300;  // the run is stopped while this row loads

// Every tenth phrase holds the unwanted word; the last five repeat earlier
// ones in other letter case and with blanks around them.
Cells Phrases() {
  Cells phrases;
  for (int i = 0; i < kPhrases - 5; ++i)
    phrases.push_back((i % 10 == 3 ? "free golf " : "golf ") + std::to_string(i));
  for (const char* repeat : {"GOLF 1", " golf 2", "Golf 4 ", "golf 5", "FREE GOLF 13"})
    phrases.emplace_back(repeat);
  return phrases;
}

std::string Count(Engine engine, const std::string& phrase) {
  return FormatThousands(ResultCount(engine, phrase, ""));
}

class BigListJourneyTest : public MainWindowFixture {
 protected:
  BigListJourneyTest() {
    StartSimulator();
    OpenWindow();
  }

  // Starts a run with `start` and answers its search-type dialog: Broad.
  static void Run(const std::function<void()>& start) {
    WhenModalOpens([](QWidget* dialog) {
      Child<QRadioButton>(dialog, "rbBroad")->click();
      Child<QPushButton>(dialog, "btnOk")->click();
    });
    start();
  }

  bool Complete(int row) {
    const std::string phrase = window_->Results().Cell(row, kColKeywords);
    return window_->Results().Cell(row, kColGoogle) == Count(Engine::kGoogle, phrase) &&
           window_->Results().Cell(row, kColYahoo) == Count(Engine::kYahoo, phrase) &&
           window_->Results().Cell(row, kColMsn) == Count(Engine::kMsn, phrase);
  }

  int CompleteRows() {
    int complete = 0;
    for (int row = 0; row < window_->Results().RowCount(); ++row) complete += Complete(row);
    return complete;
  }

  // Keywords and the three counts of every row, the row numbers left out.
  Cells Table() {
    Cells cells;
    for (int row = 0; row < window_->Results().RowCount(); ++row)
      for (const int c : {kColKeywords, kColGoogle, kColYahoo, kColMsn})
        cells.push_back(window_->Results().Cell(row, c));
    return cells;
  }

  TempFolder documents_;
};

TEST_F(BigListJourneyTest, GatherStopResumeFilterDedupeCopySaveAndReopen) {
  const Cells phrases = Phrases();
  std::string lines;
  for (const auto& phrase : phrases) lines += phrase + "\n";
  QApplication::clipboard()->setText(QString::fromStdString(lines));
  Action("actPaste")->trigger();
  ASSERT_EQ(window_->Results().RowCount(), kPhrases);

  // Gather Data, stopped while the Yahoo page of row kStopAt hangs.
  std::atomic<int> googlePages = 0;  // counted on the simulator's threads
  sim_.SetRequestObserver([&](const SimRequest& r) {
    if (r.service == SimService::kGoogle && ++googlePages == kStopAt)
      sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 60000; });
  });
  WhenReady(
      window_.get(),
      [this] { return sim_.Requests(SimService::kYahoo).size() == static_cast<size_t>(kStopAt); },
      [this] { Button("btnGatherData")->click(); });
  Run([this] { Button("btnGatherData")->click(); });
  ASSERT_EQ(Button("btnGatherData")->text(), "Gather Data");
  EXPECT_EQ(CompleteRows(), kStopAt - 1);
  sim_.SetRequestObserver({});
  sim_.ReleaseHeld();
  sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 0; });

  // Gather Missing Data asks only for the rows still missing a count.
  sim_.ClearRequests();
  Run([this] { Action("actGatherMissing")->trigger(); });
  EXPECT_EQ(sim_.Requests(SimService::kGoogle).size(), static_cast<size_t>(kPhrases - kStopAt + 1));
  EXPECT_EQ(CompleteRows(), kPhrases);

  // The unwanted word goes out of sight, then the duplicates out of the table.
  Model().SetFilter("golf -free");
  EXPECT_EQ(Model().ShownCount(), 899);
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actRemoveDuplicates")->trigger();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "Remove 5 duplicate rows?");
  EXPECT_EQ(window_->Results().RowCount(), kPhrases - 5);
  EXPECT_EQ(Model().ShownCount(), 895);

  // Two ticked rows into a spreadsheet: header and counts, tab-separated.
  Model().SetChecked(0, true);
  Model().SetChecked(1, true);
  Action("actCopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
            "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n"
            "1\tgolf 0\t\t" +
                Count(Engine::kGoogle, "golf 0") + "\t" + Count(Engine::kYahoo, "golf 0") + "\t" +
                Count(Engine::kMsn, "golf 0") + "\n2\tgolf 1\t\t" +
                Count(Engine::kGoogle, "golf 1") + "\t" + Count(Engine::kYahoo, "golf 1") + "\t" +
                Count(Engine::kMsn, "golf 1") + "\n");

  // The shown rows as a workbook with real numbers, and as CSV.
  const auto workbook = documents_.File("golf.xlsx");
  FileDialogs::SetNextFileName(QString::fromStdString(workbook.string()),
                               QStringLiteral("Excel workbook (*.xlsx)"));
  Button("btnSaveResults")->click();
  const ChildResult read =
      RunChild({QUORVANE_PYTHON3, "-c",
                "import openpyxl,sys\n"
                "s = openpyxl.load_workbook(sys.argv[1]).active\n"
                "print(s.max_row, [c.value for c in s[2]][1:3], type(s['D2'].value).__name__)\n",
                workbook.string()});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out, "896 ['golf 0', None] int\n") << "a header and the 895 shown rows";

  const auto csv = documents_.File("golf.csv");
  FileDialogs::SetNextFileName(QString::fromStdString(csv.string()));
  Button("btnSaveResults")->click();
  const Cells saved = [&] {
    Cells cells;
    for (const int row : Model().ShownRows())
      for (const int c : {kColKeywords, kColGoogle, kColYahoo, kColMsn})
        cells.push_back(window_->Results().Cell(row, c));
    return cells;
  }();
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u) << "both saves went without a word";

  // Closed, and opened again another day.
  window_.reset();
  window_ = NewWindow();
  FileDialogs::SetNextFileName(QString::fromStdString(csv.string()));
  Action("actOpenResults")->trigger();
  EXPECT_EQ(window_->Results().RowCount(), 895);
  EXPECT_EQ(Table(), saved);
  EXPECT_EQ(window_->Results().Cell(894, kColNo), "895") << "numbered as an import";
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u);
}

}  // namespace
