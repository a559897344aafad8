// The table's data commands in the real window: Open Results, Copy and
// Paste through the real clipboard, drops of files and text on the table,
// Remove Duplicates, the keys of the buttons' commands, and what a run
// leaves available.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "app/ui/ResultsTransfer.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/DuringGatherData.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;
using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

const std::string kHeader = "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";

class ResultsTransferTest : public MainWindowFixture {
 protected:
  ResultsTransferTest() {
    OpenWindow(WindowOptions().At(StalledEngineEndpoints()).Shown());
    QApplication::setActiveWindow(window_.get());
    (void)QTest::qWaitForWindowActive(window_.get());
    table_ = Table();
  }

  std::vector<Cells> Rows() {
    std::vector<Cells> rows;
    for (int row = 0; row < window_->Results().RowCount(); ++row) {
      Cells cells;
      for (int c = 0; c < kColumnCount; ++c) cells.push_back(window_->Results().Cell(row, c));
      rows.push_back(cells);
    }
    return rows;
  }

  void AddPhrases(const Cells& phrases) {
    std::vector<NewKeyword> keywords;
    for (const auto& p : phrases) keywords.push_back(NewKeyword{p, {}});
    window_->Results().AppendKeywords(keywords);
  }

  void Tick(int row) {
    table_->model()->setData(table_->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window_.get(), static_cast<Qt::Key>(key), modifiers);
  }

  // Sends a drag and a drop of `data` to the table's viewport; true when
  // the drop was taken.
  bool Drop(QMimeData& data) {
    const QPoint at = table_->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table_->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table_->viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
  }

  QTableView* table_ = nullptr;
};

TEST_F(ResultsTransferTest, CommandsOpenTheTableMenuWithTheirKeysAndNames) {
  QStringList names;
  for (QAction* action : table_->actions()) names << action->objectName();
  ASSERT_GE(names.size(), 12);
  EXPECT_EQ(names.mid(0, 12),
            (QStringList{"actUndo", "actRedo", "actUndoSeparator", "actOpenResults", "actCopy",
                         "actPaste", "actRemoveDuplicates", "actFilter", "actGatherTicked",
                         "actGatherMissing", "actCommandsSeparator", "actSortColumn0"}));
  EXPECT_EQ(Action("actOpenResults")->text(), QString::fromUtf8("Open Results\u2026"));
  EXPECT_EQ(Action("actOpenResults")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(Action("actCopy")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(Action("actPaste")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
  EXPECT_EQ(Action("actRemoveDuplicates")->text(), "Remove Duplicates");
  EXPECT_TRUE(Action("actCommandsSeparator")->isSeparator());
}

// --- Open Results

TEST_F(ResultsTransferTest, OpenResultsAppendsRowsWithCountsNumberedOnByKeyAndByMenu) {
  AddPhrases({"first"});
  program_.Write("saved.csv", kHeader +
                                  "\"7\",\"golf\",\"120\",\"1,230\",\"\",\"9\"\r\n"
                                  "\"8\",\"tees\",\"\",\"\",\"\",\"\"\r\n");
  program_.Write("list.txt", "putter\r\nwedge\r\n");

  FileDialogs::SetNextFileName(QString::fromStdString(program_.File("saved.csv").string()));
  Key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "first", "", "", "", ""},
                                        {"2", "golf", "120", "1,230", "", "9"},
                                        {"3", "tees", "", "", "", ""}}));
  EXPECT_EQ(ItemCount(), "Total: 3");
  ASSERT_EQ(FileDialogs::Requests().size(), 1u);
  EXPECT_FALSE(FileDialogs::Requests()[0].save);
  EXPECT_EQ(FileDialogs::Requests()[0].filter,
            "CSV files (*.csv);;Text files (*.txt);;All files (*)");

  FileDialogs::SetNextFileName(QString::fromStdString(program_.File("list.txt").string()));
  Action("actOpenResults")->trigger();
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Column(kColKeywords), (Cells{"first", "golf", "tees", "putter", "wedge"}));

  FileDialogs::SetNextFileName(QString());  // cancelled
  Action("actOpenResults")->trigger();
  EXPECT_EQ(window_->Results().RowCount(), 5);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(ResultsTransferTest, ABadFileWarnsOnceNamingItsFirstBadLineAndAddsNothing) {
  AddPhrases({"kept"});
  program_.Write("bad.csv", kHeader + "1,a,,,,\r\n2,\"b,,,,\r\n");
  const std::string path = program_.File("bad.csv").string();
  FileDialogs::SetNextFileName(QString::fromStdString(path));
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actOpenResults")->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"kept"}));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Warning);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The file \"" + path +
                "\" is not a results table: line 3 opens a quote that is never closed.");
}

// --- Copy and Paste through the clipboard

TEST_F(ResultsTransferTest, CopyPutsTickedRowsOrTheCurrentRowAsTabTextAndCsv) {
  AddPhrases({"golf", "say \"hi\"", "tees"});
  window_->Results().SetCell(0, kColGoogle, "1,230");
  Tick(0);
  Tick(1);
  Key(Qt::Key_C, Qt::ControlModifier);
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(),
            "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n"
            "1\tgolf\t\t1,230\t\t\n"
            "2\t\"say \"\"hi\"\"\"\t\t\t\t\n");
  EXPECT_EQ(data->data("text/csv").toStdString(),
            kHeader +
                "\"1\",\"golf\",\"\",\"1,230\",\"\",\"\"\r\n"
                "\"2\",\"say \"\"hi\"\"\",\"\",\"\",\"\",\"\"\r\n");

  window_->btnClearSelectionClick();
  table_->setCurrentIndex(table_->model()->index(2, 1));
  Action("actCopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n3\ttees\t\t\t\t\n");
}

TEST_F(ResultsTransferTest, PasteAddsPlainLinesAsPhrasesAndTablesWithTheirCounts) {
  AddPhrases({"first"});
  QApplication::clipboard()->setText("golf clubs\r\n\r\n  tees \n");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Column(kColKeywords), (Cells{"first", "golf clubs", "  tees "}))
      << "lines kept as a keyword file's are; empty ones add nothing";
  EXPECT_EQ(ItemCount(), "Total: 3");

  // A spreadsheet's selection: tab-separated with the header.
  QApplication::clipboard()->setText(
      "no\tkeywords\tsearches\tgoogle\tyahoo\tmsn\n9\tputter\t5\t6\t7\t8\n");
  Action("actPaste")->trigger();
  EXPECT_EQ(Rows().back(), (Cells{"4", "putter", "5", "6", "7", "8"}));

  // text/csv is preferred over the text beside it.
  auto* both = new QMimeData;
  both->setText("not this");
  both->setData("text/csv", QByteArray::fromStdString(kHeader + "1,wedge,1,2,3,4\r\n"));
  QApplication::clipboard()->setMimeData(both);
  Action("actPaste")->trigger();
  EXPECT_EQ(Rows().back(), (Cells{"5", "wedge", "1", "2", "3", "4"}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(ResultsTransferTest, CopyThenPasteDuplicatesTheRowsWithTheirCounts) {
  AddPhrases({"golf"});
  window_->Results().SetCell(0, kColSearches, "1,000");
  window_->Results().SetCell(0, kColMsn, "12");
  table_->setCurrentIndex(table_->model()->index(0, 1));
  Action("actCopy")->trigger();
  Action("actPaste")->trigger();
  EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "golf", "1,000", "", "", "12"},
                                        {"2", "golf", "1,000", "", "", "12"}}));
}

TEST_F(ResultsTransferTest, ARaggedPastedTableWarnsAndAddsNothing) {
  QApplication::clipboard()->setText("No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n1\tgolf\n");
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actPaste")->trigger();
  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The pasted text is not a results table: line 2 has 2 fields, the header has 6.");
}

// --- Drops

TEST_F(ResultsTransferTest, DroppedFilesAreToldApartByTheirHeaderAndTextAddsItsLines) {
  program_.Write("saved.csv", kHeader + "\"1\",\"golf\",\"120\",\"\",\"\",\"\"\r\n");
  // A keyword list is read as Add Keywords reads it, quotes and commas kept.
  program_.Write("list.txt", "5\" putter, steel\n");
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(program_.File("saved.csv").string())),
                 QUrl::fromLocalFile(QString::fromStdString(program_.File("list.txt").string()))});
  EXPECT_TRUE(Drop(files));
  EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "golf", "120", "", "", ""},
                                        {"2", "5\" putter, steel", "", "", "", ""}}));

  QMimeData text;
  text.setText("wedge\ntees");
  EXPECT_TRUE(Drop(text));
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf", "5\" putter, steel", "wedge", "tees"}));
  EXPECT_EQ(ItemCount(), "Total: 4");
}

TEST_F(ResultsTransferTest, DroppedBadResultsFileWarnsAndAddsNothing) {
  program_.Write("bad.csv", kHeader + "1,a\r\n");
  const std::string path = program_.File("bad.csv").string();
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  MessageBox::SetNextAnswer(Answer::Ok);
  Drop(files);
  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(
      MessageBox::ShownBoxes()[0].text,
      "The file \"" + path + "\" is not a results table: line 2 has 2 fields, the header has 6.");
}

TEST_F(ResultsTransferTest, WhileARunGoesOnRowChangingCommandsAndDropsAreRefusedCopyIsNot) {
  AddPhrases({"golf", "golf"});
  window_->SetCommandsBusy(true);
  for (const char* name : {"actOpenResults", "actPaste", "actRemoveDuplicates"})
    EXPECT_FALSE(Action(name)->isEnabled()) << name;
  EXPECT_TRUE(Action("actCopy")->isEnabled());

  QMimeData text;
  text.setText("wedge");
  EXPECT_FALSE(Drop(text));
  QApplication::clipboard()->setText("putter");
  Key(Qt::Key_V, Qt::ControlModifier);
  window_->Transfer().RemoveDuplicates();
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf", "golf"}));

  window_->SetCommandsBusy(false);
  for (const char* name : {"actOpenResults", "actPaste", "actRemoveDuplicates"})
    EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

// --- Remove Duplicates

TEST_F(ResultsTransferTest, RemoveDuplicatesAsksWithTheCountAndSaysWhenThereAreNone) {
  AddPhrases({"Golf", "tees", "golf ", "TEES", "putter"});
  MessageBox::SetNextAnswer(Answer::Cancel);
  Action("actRemoveDuplicates")->trigger();
  EXPECT_EQ(window_->Results().RowCount(), 5);

  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actRemoveDuplicates")->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"Golf", "tees", "putter"}));
  EXPECT_EQ(Column(kColNo), (Cells{"1", "2", "5"})) << "rows keep their numbers, as after a delete";
  EXPECT_EQ(ItemCount(), "3 items listed");

  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actRemoveDuplicates")->trigger();
  const auto& shown = MessageBox::ShownBoxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].kind, Kind::Confirm);
  EXPECT_EQ(shown[0].text, "Remove 2 duplicate rows?");
  EXPECT_EQ(shown[1].text, "Remove 2 duplicate rows?");
  EXPECT_EQ(shown[2].kind, Kind::Information);
  EXPECT_EQ(shown[2].text, "There are no duplicate rows.");
}

TEST_F(ResultsTransferTest, RemoveDuplicatesCountsWithThousandsSeparatorsAndOneInTheSingular) {
  AddPhrases({"a", "A"});
  MessageBox::SetNextAnswer(Answer::Cancel);
  Action("actRemoveDuplicates")->trigger();
  Cells many(1235, "same");
  AddPhrases(many);
  MessageBox::SetNextAnswer(Answer::Cancel);
  Action("actRemoveDuplicates")->trigger();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "Remove 1 duplicate row?");
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text, "Remove 1,235 duplicate rows?");
}

// --- Keys of the buttons' commands

TEST_F(ResultsTransferTest, KeysDoWhatTheButtonsDo) {
  AddPhrases({"a", "b"});
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(window_->Results().RowCount() == 2 &&
              table_->model()->index(1, 0).data(Qt::CheckStateRole) == Qt::Checked);

  MessageBox::SetNextAnswer(Answer::Cancel);
  Key(Qt::Key_Delete);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "Are you sure do you want to delete the selected keywords?");
  EXPECT_EQ(window_->Results().RowCount(), 2);

  const std::string saved = program_.File("out.csv").string();
  FileDialogs::SetNextFileName(QString::fromStdString(saved));
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFileBytes(saved), kHeader +
                                      "\"1\",\"a\",\"\",\"\",\"\",\"\"\r\n"
                                      "\"2\",\"b\",\"\",\"\",\"\",\"\"\r\n");

  // Esc is the Stop caption's click, and nothing while no run goes on.
  auto* gather = window_->findChild<QPushButton*>(QStringLiteral("btnGatherData"));
  Key(Qt::Key_Escape);
  EXPECT_FALSE(window_->AbortRequested());
  DuringGatherData(*window_, [&] {
    Key(Qt::Key_Escape);
    EXPECT_TRUE(window_->AbortRequested());
    EXPECT_EQ(gather->text(), "Gather Data");
  });
}

}  // namespace
