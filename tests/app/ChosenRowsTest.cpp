// The commands on "the selected rows" act on what the user chose: the
// ticked rows when any is ticked, else the highlighted rows; with neither
// they say so instead of asking. Delete Selected (its button and the
// Delete key), Copy and Gather Data for Ticked Rows, each against the same
// table of choices; the engines are the simulator's.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/MessageBox.h"
#include "sim/Simulator.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

const std::string kNothing = "No rows are ticked or highlighted.";
const std::string kTickedQuestion = "Are you sure do you want to delete the selected keywords?";

struct Choice {
  const char* name;
  std::vector<int> ticked;
  std::vector<int> highlighted;
  Cells chosen;          // the phrases the command acts on
  std::string question;  // Delete Selected's question; kNothing: none, it says so
};

const std::vector<Choice> kChoices = {
    {"ticked rows rule", {1, 3}, {0, 2, 4}, {"b", "d"}, kTickedQuestion},
    {"one ticked row", {4}, {}, {"e"}, kTickedQuestion},
    {"highlighted rows when none is ticked",
     {},
     {0, 2, 3, 4},
     {"a", "c", "d", "e"},
     "Delete the 4 highlighted rows?"},
    {"one highlighted row", {}, {1}, {"b"}, "Delete the highlighted row?"},
    {"neither", {}, {}, {}, kNothing},
};

class ChosenRowsTest : public MainWindowFixture {
 protected:
  ChosenRowsTest() { StartSimulator(); }

  void Prepare(const Choice& c) {
    OpenWindow(WindowOptions().Shown());
    QApplication::setActiveWindow(window_.get());
    (void)QTest::qWaitForWindowActive(window_.get());
    AddRows({"a", "b", "c", "d", "e"});
    for (const int row : c.ticked) Model().SetChecked(row, true);
    QTableView* table = Table();
    table->clearSelection();
    for (const int row : c.highlighted)
      table->selectionModel()->select(table->model()->index(row, 1),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    MessageBox::ResetTestState();
    sim_.ClearRequests();
  }

  // The phrases in `all` but not in `gone`, in order.
  static Cells Without(const Cells& all, const Cells& gone) {
    Cells left;
    for (const auto& p : all)
      if (std::find(gone.begin(), gone.end(), p) == gone.end()) left.push_back(p);
    return left;
  }

  void ExpectOneBox(MessageBox::Kind kind, const std::string& text) {
    ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
    EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, kind);
    EXPECT_EQ(MessageBox::ShownBoxes()[0].text, text);
  }
};

TEST_F(ChosenRowsTest, DeleteSelectedByButtonAndByKey) {
  for (const bool byKey : {false, true}) {
    for (const Choice& c : kChoices) {
      SCOPED_TRACE(std::string(c.name) + (byKey ? ", the Delete key" : ", the button"));
      Prepare(c);
      const bool asks = c.question != kNothing;
      MessageBox::SetNextAnswer(asks ? Answer::Cancel : Answer::Ok);
      if (byKey)
        QTest::keyClick(window_.get(), Qt::Key_Delete);
      else
        Button("btnDeleteSelected")->click();
      ExpectOneBox(asks ? MessageBox::Kind::Confirm : MessageBox::Kind::Information, c.question);
      EXPECT_EQ(window_->Results().RowCount(), 5) << "cancelled";
      EXPECT_EQ(ItemCount(), "5 items listed") << "the count is written whatever the answer";
      if (!asks) continue;

      MessageBox::ResetTestState();
      MessageBox::SetNextAnswer(Answer::Ok);
      Button("btnDeleteSelected")->click();
      EXPECT_EQ(Column(kColKeywords), Without({"a", "b", "c", "d", "e"}, c.chosen));
      EXPECT_EQ(ItemCount(), std::to_string(5 - c.chosen.size()) + " items listed");
    }
  }
}

TEST_F(ChosenRowsTest, Copy) {
  for (const Choice& c : kChoices) {
    SCOPED_TRACE(c.name);
    Prepare(c);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    if (c.chosen.empty()) MessageBox::SetNextAnswer(Answer::Ok);
    QTest::keyClick(window_.get(), Qt::Key_C, Qt::ControlModifier);
    std::string expected = "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n";
    for (const auto& phrase : c.chosen)
      expected += std::to_string(phrase[0] - 'a' + 1) + "\t" + phrase + "\t\t\t\t\n";
    if (c.chosen.empty()) {
      ExpectOneBox(MessageBox::Kind::Information, kNothing);
      EXPECT_EQ(QApplication::clipboard()->text(), "before") << "the clipboard stays as it was";
    } else {
      EXPECT_TRUE(MessageBox::ShownBoxes().empty());
      EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected);
    }
  }
}

TEST_F(ChosenRowsTest, GatherDataForTickedRows) {
  for (const Choice& c : kChoices) {
    SCOPED_TRACE(c.name);
    Prepare(c);
    if (c.chosen.empty()) {
      MessageBox::SetNextAnswer(Answer::Ok);
    } else {
      WhenModalOpens([](QWidget* dialog) {
        Child<QRadioButton>(dialog, "rbBroad")->click();
        Child<QPushButton>(dialog, "btnOk")->click();
      });
    }
    Action("actGatherTicked")->trigger();
    Cells asked;
    for (const auto& r : sim_.Requests(SimService::kGoogle))
      asked.push_back(r.target.substr(std::string("/search?q=").size()));
    EXPECT_EQ(asked, c.chosen);
    if (c.chosen.empty()) ExpectOneBox(MessageBox::Kind::Information, kNothing);
    for (int row = 0; row < 5; ++row) {
      const std::string phrase = window_->Results().Cell(row, kColKeywords);
      const bool chosen = std::find(c.chosen.begin(), c.chosen.end(), phrase) != c.chosen.end();
      EXPECT_EQ(window_->Results().Cell(row, kColMsn).empty(), !chosen) << phrase;
    }
  }
}

}  // namespace
