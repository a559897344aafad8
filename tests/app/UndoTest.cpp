// Undo and redo in the real main window: every command that changes the
// table's rows is taken back and made again, by the menu and by the keys,
// and the rows, their numbers and ticks, the count panel and the sort state
// come back exactly; a new change drops what could be redone; nothing is
// taken back while a run goes on; a Gather Keywords or Gather Data run is
// one step, a stopped one too.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/TableHistory.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "sim/Simulator.h"
#include "support/DuringGatherData.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

// Everything Undo must bring back.
struct State {
  std::vector<Cells> rows;
  std::vector<bool> ticks;
  std::string itemCount;
  int sortColumn;
  bool sortAscending;
  bool operator==(const State&) const = default;
};

void PrintTo(const State& s, std::ostream* out) {
  *out << s.rows.size() << " rows [";
  for (std::size_t i = 0; i < s.rows.size(); ++i)
    *out << (i ? " " : "") << s.rows[i][0] << ":" << s.rows[i][1] << ":" << s.rows[i][3]
         << (s.ticks[i] ? "+" : "");
  *out << "] \"" << s.itemCount << "\" sort " << s.sortColumn << (s.sortAscending ? "a" : "d");
}

class UndoTest : public MainWindowFixture {
 protected:
  void Open(const WindowOptions& options = WindowOptions().At(StalledEngineEndpoints())) {
    OpenWindow(WindowOptions(options).Shown());
    QApplication::setActiveWindow(window_.get());
    (void)QTest::qWaitForWindowActive(window_.get());
  }

  State Now() const {
    State s;
    for (int row = 0; row < window_->Results().RowCount(); ++row) {
      s.rows.push_back(Row(row));
      s.ticks.push_back(Model().Checked(row));
    }
    s.itemCount = ItemCount();
    s.sortColumn = window_->SortColumn();
    s.sortAscending = window_->SortAscending();
    return s;
  }

  // Six rows as a session leaves them: a count in some, two ticked, a
  // repeated phrase, numbers out of order after a sort.
  void StartRows() {
    AddRows({"golf", "tees", "Golf ", "putter", "bag", "tees"});
    for (int row = 0; row < 6; ++row)
      window_->Results().SetCell(row, kColGoogle, std::to_string((row * 7) % 5 * 100));
    window_->lvwItemsColumnClick(kColGoogle);
    Model().SetChecked(1, true);
    Model().SetChecked(4, true);
    window_->ShowItemCount();
  }

  void Highlight(const std::vector<int>& rows) {
    QTableView* table = Table();
    table->clearSelection();
    for (const int row : rows)
      table->selectionModel()->select(table->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }

  void Key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window_.get(), static_cast<Qt::Key>(key), modifiers);
  }
};

struct Command {
  const char* name;
  std::function<void()> prepare;  // not part of the step
  std::function<void()> run;
  std::string step;  // the menu's "Undo …" text after it
};

TEST_F(UndoTest, EveryRowCommandIsUndoneAndRedoneExactly) {
  const std::vector<Command> commands = {
      {"Delete Selected, ticked rows",
       {},
       [this] {
         MessageBox::SetNextAnswer(Answer::Ok);
         Button("btnDeleteSelected")->click();
       },
       "Undo Delete 2 rows"},
      {"Delete Selected, highlighted rows (the Delete key)",
       [this] {
         window_->btnClearSelectionClick();
         Highlight({0, 2, 3});
       },
       [this] {
         MessageBox::SetNextAnswer(Answer::Ok);
         Key(Qt::Key_Delete, Qt::NoModifier);
       },
       "Undo Delete 3 rows"},
      {"Delete All",
       {},
       [this] {
         MessageBox::SetNextAnswer(Answer::Ok);
         window_->btnDeleteAllClick();
       },
       "Undo Delete 6 rows"},
      {"Remove Duplicates",
       {},
       [this] {
         MessageBox::SetNextAnswer(Answer::Ok);
         Action("actRemoveDuplicates")->trigger();
       },
       "Undo Delete 2 rows"},
      {"Paste",
       {},
       [this] {
         QApplication::clipboard()->setText("first\nsecond\nthird\n");
         Action("actPaste")->trigger();
       },
       "Undo Add 3 rows"},
      {"a drop of text",
       {},
       [this] {
         QMimeData data;
         data.setText("dropped");
         ASSERT_TRUE(Model().dropMimeData(&data, Qt::CopyAction, -1, -1, {}));
       },
       "Undo Add 1 row"},
      {"Open Results",
       [this] {
         program_.Write("more.csv",
                        "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
                        "\"1\",\"opened\",\"5\",\"6\",\"7\",\"8\"\r\n"
                        "\"2\",\"again\",\"\",\"\",\"\",\"\"\r\n");
       },
       [this] {
         FileDialogs::SetNextFileName(QString::fromStdString(program_.File("more.csv").string()));
         Key(Qt::Key_O, Qt::ControlModifier);
       },
       "Undo Add 2 rows"},
      {"Add Keywords",
       {},
       [this] {
         WhenModalOpens([](QWidget* dialog) {
           Child<QLineEdit>(dialog, "edtAddKeyword")->setText(QStringLiteral("typed"));
           Child<QPushButton>(dialog, "btnOk")->click();
         });
         window_->btnAddKeywordClick();
       },
       "Undo Add 1 row"},
      {"a header click",
       {},
       [this] { window_->lvwItemsColumnClick(kColKeywords); },
       "Undo Sort by Keywords"},
      {"a second click on the sorted column",
       {},
       [this] { window_->lvwItemsColumnClick(kColGoogle); },
       "Undo Sort by Google"},
  };
  for (const Command& c : commands) {
    SCOPED_TRACE(c.name);
    Open();
    StartRows();
    if (c.prepare) c.prepare();
    const State before = Now();
    c.run();
    // A dialog the command opened has closed; the keys need the window
    // active again, as a desktop makes it.
    QApplication::setActiveWindow(window_.get());
    (void)QTest::qWaitForWindowActive(window_.get());
    const State after = Now();
    ASSERT_NE(after, before) << "the command changed nothing";
    EXPECT_EQ(Action("actUndo")->text().toStdString(), c.step);
    EXPECT_EQ(Action("actRedo")->text(), "Redo");
    EXPECT_FALSE(Action("actRedo")->isEnabled());

    // Back and forth twice, by the menu and by each key.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Now(), before) << "undone";
    EXPECT_EQ(Action("actRedo")->text().toStdString(), "Redo " + c.step.substr(5));
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Now(), after) << "redone";
    Action("actUndo")->trigger();
    EXPECT_EQ(Now(), before) << "undone again";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Now(), after) << "redone again";
    EXPECT_TRUE(MessageBox::ShownBoxes().size() <= 1) << "undo asks nothing";
    MessageBox::ResetTestState();
  }
}

TEST_F(UndoTest, StepsGoBackInOrderAndANewChangeDropsTheRedo) {
  Open();
  EXPECT_EQ(Action("actUndo")->text(), "Undo");
  EXPECT_FALSE(Action("actUndo")->isEnabled());
  const State empty = Now();
  window_->Results().AppendKeywords({{"a", ""}, {"b", ""}, {"c", ""}});
  const State three = Now();
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteAllClick();

  window_->actUndoClick();
  EXPECT_EQ(Now(), three);
  window_->actUndoClick();
  EXPECT_EQ(Now(), empty) << "the count panel's start text too";
  window_->actRedoClick();
  EXPECT_EQ(Now(), three);
  EXPECT_EQ(Action("actRedo")->text(), "Redo Delete 3 rows");

  AddRows({"d"});
  EXPECT_FALSE(Action("actRedo")->isEnabled()) << "a new change after an undo clears redo";
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3", "4"}));
  window_->actRedoClick();
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3", "4"}));
}

TEST_F(UndoTest, NothingIsTakenBackWhileARunGoesOn) {
  Open();
  AddRows({"golf", "tees"});
  DuringGatherData(*window_, [this] {
    EXPECT_FALSE(Action("actUndo")->isEnabled());
    EXPECT_FALSE(Action("actRedo")->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier);
    window_->actUndoClick();
    EXPECT_EQ(window_->Results().RowCount(), 2) << "the run's rows stay where they are";
  });
  EXPECT_TRUE(Action("actUndo")->isEnabled());
  EXPECT_EQ(Action("actUndo")->text(), "Undo Add 1 row") << "a run that changed nothing is no step";
}

// Against the simulator: what a run changes is one step, however it ends.
class UndoRunTest : public UndoTest {
 protected:
  UndoRunTest() {
    StartSimulator();
    Open(WindowOptions());
  }

  void RunGatherData() {
    WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
    window_->btnGatherDataClick();
  }
};

TEST_F(UndoRunTest, AGatherKeywordsRunIsOneStep) {
  AddRows({"mine"});
  SetMainKeyword("golf clubs");
  const State before = Now();
  window_->btnGatherKeywordClick();
  const State after = Now();
  ASSERT_EQ(window_->Results().RowCount(), 13);
  EXPECT_EQ(Action("actUndo")->text(), "Undo Gather Keywords (12 rows)");
  window_->actUndoClick();
  EXPECT_EQ(Now(), before);
  window_->actRedoClick();
  EXPECT_EQ(Now(), after);
}

TEST_F(UndoRunTest, AGatherDataRunIsOneStepAStoppedOneToo) {
  AddRows({"a", "b", "c", "d"});
  window_->Results().SetCell(3, kColGoogle, "kept");
  const State before = Now();
  RunGatherData();
  const State full = Now();
  ASSERT_NE(window_->Results().Cell(3, kColMsn), "");
  EXPECT_EQ(Action("actUndo")->text(), "Undo Gather Data (4 rows)");
  window_->actUndoClick();
  EXPECT_EQ(Now(), before) << "every count, and the one there before";
  window_->actRedoClick();
  EXPECT_EQ(Now(), full);
  window_->actUndoClick();
  sim_.ClearRequests();

  // Stopped while row 2's Yahoo page hangs: rows 1 and 2's counts so far.
  sim_.SetRequestObserver([this](const SimRequest& r) {
    if (r.service == SimService::kGoogle && r.target == "/search?q=%22b%22")
      sim_.ChangeScenario([](Scenario& s) { s.search.yahoo.pace.delayMs = 60000; });
  });
  WhenReady(
      window_.get(), [this] { return sim_.Requests(SimService::kYahoo).size() == 2; },
      [this] { Button("btnGatherData")->click(); });
  RunGatherData();
  sim_.SetRequestObserver({});
  sim_.ReleaseHeld();
  ASSERT_NE(window_->Results().Cell(1, kColGoogle), "");
  ASSERT_EQ(window_->Results().Cell(2, kColGoogle), "");
  EXPECT_EQ(Action("actUndo")->text(), "Undo Gather Data (2 rows)");
  window_->actUndoClick();
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(Action("actUndo")->text(), "Undo Change 1 row") << "the cell written by hand";
}

}  // namespace
