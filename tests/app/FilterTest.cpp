// The filter field above the results table: opening and closing it by
// keyboard and menu, the rows it hides, and the commands that then act on
// the shown rows only.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/DuringGatherData.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

class FilterTest : public MainWindowFixture {
 protected:
  FilterTest() {
    OpenWindow(WindowOptions().At(StalledEngineEndpoints()));
    AddRows({"red shoes", "cheap red shoes", "blue boots", "Red Hat", "green"});
  }

  QLineEdit* Field() { return Find<QLineEdit>("edtFilter"); }
  QString ShownText() { return Find<QLabel>("lblFilterShown")->text(); }

  void ShowActive() {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  // The Keywords cells the view shows, top to bottom.
  Cells ShownPhrases() {
    Cells phrases;
    auto* model = Table()->model();
    for (int row = 0; row < model->rowCount(); ++row)
      phrases.push_back(model->index(row, kColKeywords).data().toString().toStdString());
    return phrases;
  }

  void Tick(const std::vector<int>& viewRows) {
    auto* model = Table()->model();
    for (const int row : viewRows)
      model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
  }

  std::vector<bool> Ticks() {
    std::vector<bool> ticks;
    for (int row = 0; row < window_->Results().RowCount(); ++row)
      ticks.push_back(Model().Checked(row));
    return ticks;
  }
};

TEST_F(FilterTest, HiddenUntilCtrlFAndEscClearsClosesAndFocusesTheTable) {
  ShowActive();
  EXPECT_FALSE(Field()->isVisible()) << "nobody sees the field before asking for it";
  EXPECT_EQ(ShownText(), "");

  QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Field()->isVisible());
  EXPECT_TRUE(Field()->hasFocus());

  QTest::keyClicks(Field(), "red -cheap");
  EXPECT_EQ(ShownPhrases(), (Cells{"red shoes", "Red Hat"}));
  EXPECT_EQ(ShownText(), "2 of 5 rows shown");
  EXPECT_EQ(window_->Results().RowCount(), 5) << "hidden rows are kept";

  QTest::keyClick(Field(), Qt::Key_Escape);
  EXPECT_FALSE(Field()->isVisible());
  EXPECT_EQ(Field()->text(), "");
  EXPECT_TRUE(Table()->hasFocus());
  EXPECT_EQ(ShownPhrases().size(), 5u);
  EXPECT_FALSE(Model().FilterActive());
}

TEST_F(FilterTest, TheMenuCommandOpensTheFieldAndShowsItsShortcut) {
  ShowActive();
  auto* action = Find<QAction>("actFilter");
  EXPECT_EQ(action->text(), "Filter");
  EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
  EXPECT_TRUE(Table()->actions().contains(action)) << "in the table's context menu";
  action->trigger();
  EXPECT_TRUE(Field()->isVisible());
  EXPECT_TRUE(Field()->hasFocus());
}

TEST_F(FilterTest, TheViewFollowsTheStoreUnderAFilter) {
  QAbstractItemModelTester tester(Table()->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Warning);
  Model().SetFilter("red");
  EXPECT_EQ(ShownPhrases(), (Cells{"red shoes", "cheap red shoes", "Red Hat"}));
  EXPECT_EQ(Model().ShownRows(), (std::vector<int>{0, 1, 3}));

  // A cell written by store index reaches the right view row, and a hidden
  // row's cell is kept without showing it.
  window_->Results().SetCell(3, kColGoogle, "7");
  window_->Results().SetCell(2, kColGoogle, "9");
  EXPECT_EQ(Table()->model()->index(2, kColGoogle).data().toString(), "7");
  EXPECT_EQ(window_->Results().Cell(2, kColGoogle), "9");

  // Rows appended under the filter show only when they match.
  window_->Results().AppendKeywords({{"red wine", ""}, {"white wine", ""}});
  EXPECT_EQ(ShownPhrases(), (Cells{"red shoes", "cheap red shoes", "Red Hat", "red wine"}));
  EXPECT_EQ(window_->Results().RowCount(), 7);
  EXPECT_EQ(ShownText(), "4 of 7 rows shown");

  // Sorting reorders every row and keeps the filter.
  window_->lvwItemsColumnClick(kColKeywords);
  EXPECT_EQ(ShownPhrases(), (Cells{"cheap red shoes", "Red Hat", "red shoes", "red wine"}));

  Model().SetFilter("");
  EXPECT_EQ(ShownPhrases().size(), 7u);
  EXPECT_EQ(Model().ShownRows().size(), 7u);

  Model().SetFilter("nothing-like-it");
  EXPECT_TRUE(ShownPhrases().empty());
  EXPECT_EQ(ShownText(), "0 of 7 rows shown");
}

TEST_F(FilterTest, SelectAllAndClearSelectionTouchOnlyShownRows) {
  Tick({4});  // "green", hidden below
  Model().SetFilter("red");
  Find<QPushButton>("btnSelectAll")->click();
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false, true, true}));

  Model().SetFilter("-shoes");
  Find<QPushButton>("btnClearSelection")->click();
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false, false, false}))
      << "the ticked hidden shoe rows keep their ticks";
}

TEST_F(FilterTest, DeleteSelectedAsksAsBeforeAndDeletesOnlyShownTickedRows) {
  Tick({0, 2, 4});                // red shoes, blue boots, green
  Model().SetFilter("e -boots");  // hides blue boots
  MessageBox::SetNextAnswer(Answer::Cancel);
  window_->btnDeleteSelectedClick();
  EXPECT_EQ(window_->Results().RowCount(), 5);

  MessageBox::SetNextAnswer(Answer::Ok);
  Find<QPushButton>("btnDeleteSelected")->click();
  EXPECT_EQ(Column(kColKeywords), (Cells{"cheap red shoes", "blue boots", "Red Hat"}));
  EXPECT_TRUE(Model().Checked(1)) << "the hidden ticked row stays, still ticked";
  EXPECT_EQ(ShownPhrases(), (Cells{"cheap red shoes", "Red Hat"}));
  EXPECT_EQ(ShownText(), "2 of 3 rows shown");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  for (const auto& box : MessageBox::ShownBoxes())
    EXPECT_EQ(box.text, "Are you sure do you want to delete the selected keywords?");
}

TEST_F(FilterTest, SaveResultsWritesOnlyTheShownRows) {
  Model().SetFilter("boots");
  FileDialogs::SetNextFileName(QString::fromStdString((program_.Path() / "shown.csv").string()));
  Find<QPushButton>("btnSaveResults")->click();
  EXPECT_EQ(program_.Read("shown.csv"),
            "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
            "\"3\",\"blue boots\",\"\",\"\",\"\",\"\"\r\n");

  // Nothing shown: as an empty table.
  Model().SetFilter("nothing-like-it");
  MessageBox::SetNextAnswer(Answer::Ok);
  Find<QPushButton>("btnSaveResults")->click();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "You don't have any data to save.");

  Model().SetFilter("");
  FileDialogs::SetNextFileName(QString::fromStdString((program_.Path() / "all.csv").string()));
  window_->btnSaveResultsClick();
  EXPECT_NE(program_.Read("all.csv").find("green"), std::string::npos) << "no filter: every row";
}

TEST_F(FilterTest, CopyTakesOnlyShownTickedRowsAndTheShownCurrentRow) {
  Tick({0, 2});                // red shoes, blue boots
  Model().SetFilter("shoes");  // hides blue boots
  Find<QAction>("actCopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n1\tred shoes\t\t\t\t\n");

  // No shown row ticked: the current row is the one the user sees there.
  window_->btnClearSelectionClick();
  Model().SetFilter("red -cheap");  // red shoes, Red Hat
  Table()->setCurrentIndex(Table()->model()->index(1, kColKeywords));
  Find<QAction>("actCopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n4\tRed Hat\t\t\t\t\n");
}

TEST_F(FilterTest, RemoveDuplicatesKeepsTheFilterOverTheRowsThatStay) {
  window_->Results().AppendKeywords({{"RED SHOES ", ""}, {"green", ""}, {"red wine", ""}});
  Model().SetFilter("red");
  EXPECT_EQ(Model().RemoveDuplicates(), 2) << "hidden duplicates go too";
  EXPECT_EQ(Column(kColKeywords),
            (Cells{"red shoes", "cheap red shoes", "blue boots", "Red Hat", "green", "red wine"}));
  EXPECT_EQ(ShownPhrases(), (Cells{"red shoes", "cheap red shoes", "Red Hat", "red wine"}));
  EXPECT_EQ(ShownText(), "4 of 6 rows shown");
}

TEST_F(FilterTest, EscClosesTheFocusedFieldBeforeItStopsARun) {
  ShowActive();
  auto* gather = Find<QPushButton>("btnGatherData");
  DuringGatherData(*window_, [&] {
    QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Field(), "red");

    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(Field()->isVisible());
    EXPECT_FALSE(window_->AbortRequested()) << "the run goes on";
    EXPECT_EQ(gather->text(), "Stop");

    QTest::keyClick(window_.get(), Qt::Key_Escape);
    EXPECT_TRUE(window_->AbortRequested());
    EXPECT_EQ(gather->text(), "Gather Data");
  });
}

}  // namespace
