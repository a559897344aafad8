// The table's data commands in the real window: Open Results, Copy and
// Paste through the real clipboard, drops of files and text on the table,
// Remove Duplicates, the keys of the buttons' commands, and what a run
// leaves available.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <string>
#include <vector>

#include "app/ResultStore.h"
#include "app/ResultsXlsx.h"
#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/ResultsTransfer.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/DuringGatherData.h"
#include "support/ForgetFileHistory.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/ModalDialogs.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;
using Answer = MessageBox::Answer;
using Cells = std::vector<std::string>;

const std::string kHeader = "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";

class ResultsTransferTest : public MainWindowFixture {
 protected:
  ResultsTransferTest() {
    ForgetFileHistory();
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

  // Drops these files on the table.
  bool DropFiles(const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const auto& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    QMimeData files;
    files.setUrls(urls);
    return Drop(files);
  }

  void Open(const std::string& path) {
    FileDialogs::SetNextFileName(QString::fromStdString(path));
    Action("actOpenResults")->trigger();
  }

  QTableView* table_ = nullptr;
};

TEST_F(ResultsTransferTest, CommandsOpenTheTableMenuWithTheirKeysAndNames) {
  QStringList names;
  for (QAction* action : table_->actions()) names << action->objectName();
  ASSERT_GE(names.size(), 13);
  EXPECT_EQ(
      names.mid(0, 13),
      (QStringList{"actUndo", "actRedo", "actUndoSeparator", "actOpenResults", "actOpenRecent",
                   "actCopy", "actPaste", "actRemoveDuplicates", "actFilter", "actGatherTicked",
                   "actGatherMissing", "actCommandsSeparator", "actSortColumn0"}));
  EXPECT_NE(Action("actOpenRecent")->menu(), nullptr);
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
            "Results files (*.csv *.xlsx *.txt);;CSV files (*.csv);;Excel workbook (*.xlsx);;"
            "Text files (*.txt);;All files (*)");

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
  for (const char* name : {"actOpenResults", "actOpenRecent", "actPaste", "actRemoveDuplicates"})
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

// --- Numbering, separators, formula cells

TEST_F(ResultsTransferTest, RowsComingInAreNumberedOnFromTheLargestNumberNotTheRowCount) {
  AddPhrases({"a", "b", "c"});
  Tick(0);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteSelectedClick();
  ASSERT_EQ(Column(kColNo), (Cells{"2", "3"}));

  program_.Write("saved.csv", kHeader + "\"1\",\"golf\",\"\",\"\",\"\",\"\"\r\n");
  Open(program_.File("saved.csv").string());
  QApplication::clipboard()->setText("tees\nputter");
  Action("actPaste")->trigger();
  QMimeData text;
  text.setText("wedge");
  Drop(text);
  EXPECT_EQ(Column(kColNo), (Cells{"2", "3", "4", "5", "6", "7"}))
      << "with the row count, 3 would be there twice";
}

TEST_F(ResultsTransferTest, PastedCsvTextWithTheHeaderIsATableWhateverItsSeparator) {
  for (const std::string& text :
       {kHeader + "\"1\",\"golf, clubs\",\"120\",\"\",\"\",\"'=1+1\"\r\n",
        std::string("No;Keywords;Searches;Google;Yahoo;Msn\r\n1;golf, clubs;120;;;'=1+1\r\n")}) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
    Action("actPaste")->trigger();
  }
  EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "golf, clubs", "120", "", "", "=1+1"},
                                        {"2", "golf, clubs", "120", "", "", "=1+1"}}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(ResultsTransferTest, SemicolonLinesWithoutAHeaderAreNeverTakenAsPhrasesSilently) {
  const std::string fields =
      ": line 1 has 3 fields separated by semicolons, and no header line names them No, "
      "Keywords, Searches, Google, Yahoo, Msn.";
  QApplication::clipboard()->setText("golf;120;5\ntees;3;4\n");
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actPaste")->trigger();
  program_.Write("semi.txt", "golf;120;5\n");
  const std::string dropped = program_.File("semi.txt").string();
  MessageBox::SetNextAnswer(Answer::Ok);
  DropFiles({dropped});
  program_.Write("semi.csv", "golf;120;5\n");
  const std::string opened = program_.File("semi.csv").string();
  MessageBox::SetNextAnswer(Answer::Ok);
  Open(opened);

  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 3u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "The pasted text is not a results table" + fields);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text,
            "The file \"" + dropped + "\" is not a results table" + fields);
  EXPECT_EQ(MessageBox::ShownBoxes()[2].text,
            "The file \"" + opened +
                "\" is not a results table: line 1 has 3 fields separated by semicolons but is "
                "not the header No, Keywords, Searches, Google, Yahoo, Msn.");
}

TEST_F(ResultsTransferTest, FormulaCellsGoThroughSaveResultsAndOpenResultsUnchanged) {
  const Cells cells = {"=HYPERLINK(\"http://x\",\"y\")",
                       "+1+1",
                       "-2+3",
                       "@SUM(A1)",
                       "\t=1",
                       "\r=1",
                       "-5",
                       "+3",
                       "1,200",
                       "golf clubs",
                       "'=1",
                       "'quoted"};
  AddPhrases(cells);
  for (int row = 0; row < static_cast<int>(cells.size()); ++row)
    window_->Results().SetCell(row, kColMsn, cells[static_cast<std::size_t>(row)]);
  const std::string saved = program_.File("formulas.csv").string();
  FileDialogs::SetNextFileName(QString::fromStdString(saved));
  window_->btnSaveResultsClick();
  const std::string bytes = ReadFileBytes(saved);
  EXPECT_NE(bytes.find("\"'=HYPERLINK("), std::string::npos);
  EXPECT_EQ(bytes.find("\"=HYPERLINK("), std::string::npos) << "no cell starts a formula";

  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteAllClick();
  Open(saved);
  EXPECT_EQ(Column(kColKeywords), cells);
  EXPECT_EQ(Column(kColMsn), cells);

  // Copy and Paste round trip the same way.
  window_->btnSelectAllClick();
  Action("actCopy")->trigger();
  const QString copied = QApplication::clipboard()->text();
  EXPECT_NE(copied.indexOf("\"'=HYPERLINK("), -1) << copied.toStdString();
  EXPECT_EQ(copied.indexOf("\"=HYPERLINK("), -1);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnDeleteAllClick();
  Action("actPaste")->trigger();
  EXPECT_EQ(Column(kColMsn), cells);
}

// --- Workbooks, binary files, NUL bytes

TEST_F(ResultsTransferTest, ItsOwnWorkbookOpensAndDropsAsRows) {
  ResultStore store;
  store.Add(ResultRow{{"1", "golf clubs", "1,234", "", "", "7"}, false});
  const auto workbook = program_.File("saved.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(workbook, store));
  Open(workbook.string());
  EXPECT_TRUE(DropFiles({workbook.string()}));
  EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "golf clubs", "1,234", "", "", "7"},
                                        {"2", "golf clubs", "1,234", "", "", "7"}}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(ResultsTransferTest, ADamagedWorkbookSaysSoAndAddsNothing) {
  program_.Write("broken.xlsx", std::string("PK\x03\x04\x14\0\0\0", 8));
  const std::string path = program_.File("broken.xlsx").string();
  MessageBox::SetNextAnswer(Answer::Ok);
  Open(path);
  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The file \"" + path + "\" is a damaged ZIP archive: Not a zip archive.");
}

TEST_F(ResultsTransferTest, ADroppedPictureIsRefusedWithOneLine) {
  program_.Write("photo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  const std::string path = program_.File("photo.png").string();
  MessageBox::SetNextAnswer(Answer::Ok);
  DropFiles({path});
  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Warning);
  EXPECT_EQ(
      MessageBox::ShownBoxes()[0].text,
      "The file \"" + path + "\" is a PNG picture, not a results table or a list of phrases.");
}

TEST_F(ResultsTransferTest, AThousandUnreadableFilesGiveOneBoxAndTheGoodOnesStillCome) {
  std::vector<std::string> paths;
  program_.Write("good.txt", "golf\n");
  paths.push_back(program_.File("good.txt").string());
  for (int i = 1; i <= 1000; ++i)
    paths.push_back(program_.File("gone" + std::to_string(i)).string());
  program_.Write("photo.gif", "GIF89a\x01\x00");
  paths.push_back(program_.File("photo.gif").string());
  MessageBox::SetNextAnswer(Answer::Ok);
  DropFiles(paths);
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf"}));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  const std::string& text = MessageBox::ShownBoxes()[0].text;
  EXPECT_EQ(text.substr(0, text.find('\n')), "1,001 files were not added:");
  EXPECT_NE(text.find("\"" + paths[1] + "\" cannot be opened: No such file or directory."),
            std::string::npos);
  EXPECT_NE(text.find("... and 991 more."), std::string::npos) << text;
}

TEST_F(ResultsTransferTest, TextAfterANulIsReportedNeverDroppedSilently) {
  QMimeData pasted;
  pasted.setText(QString::fromUtf8("golf\ntees\0putter\n", 17));
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->Transfer().AddMimeData(pasted);
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf", "tees"}));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Information);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The pasted text stops at a NUL byte after line 2: the lines before it were added, "
            "nothing after it.");

  // A keyword list whose NUL comes after its first block.
  std::string list;
  for (int i = 1; i <= 500; ++i) list += "phrase " + std::to_string(i) + "\n";
  program_.Write("list.txt", list + std::string("\0more\n", 6));
  const std::string path = program_.File("list.txt").string();
  MessageBox::SetNextAnswer(Answer::Ok);
  DropFiles({path});
  EXPECT_EQ(window_->Results().RowCount(), 502);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text,
            "The file \"" + path +
                "\" stops at a NUL byte after line 500: the lines before it were added, nothing "
                "after it.");
}

// --- Limits

TEST_F(ResultsTransferTest, BigInputIsRefusedWithItsLimitNamed) {
  // A pasted line past the longest cell.
  QApplication::clipboard()->setText(QString(10 << 20, QLatin1Char('x')));
  MessageBox::SetNextAnswer(Answer::Ok);
  Action("actPaste")->trigger();
  // A file past the largest size (sparse: no disk space taken).
  const std::string huge = program_.File("huge.csv").string();
  { std::ofstream create(huge); }
  ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(300) << 20), 0);
  MessageBox::SetNextAnswer(Answer::Ok);
  Open(huge);
  MessageBox::SetNextAnswer(Answer::Ok);
  DropFiles({huge});

  EXPECT_EQ(window_->Results().RowCount(), 0);
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 3u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text,
            "The pasted text is not a results table: line 1 holds a cell longer than 32,767 "
            "bytes, the most a cell may hold.");
  const std::string tooBig = "The file \"" + huge +
                             "\" is 300 MiB, more than the 256 MiB a results file or keyword "
                             "list may have.";
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text, tooBig);
  EXPECT_EQ(MessageBox::ShownBoxes()[2].text, tooBig);
}

TEST_F(ResultsTransferTest, ALongCellIsShownCutNeverLaidOutWhole) {
  AddPhrases({"golf"});
  window_->Results().SetCell(0, kColKeywords, std::string(10 << 20, 'x'));
  const QString shown = table_->model()->index(0, kColKeywords).data().toString();
  EXPECT_LE(shown.size(), 1001);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
  EXPECT_EQ(window_->Results().Cell(0, kColKeywords).size(), std::size_t{10} << 20)
      << "the cell itself is kept";
  table_->viewport()->repaint();
}

class BigFileTest : public ResultsTransferTest {
 protected:
  // A results file of `rows` rows.
  std::string BigFile(int rows) {
    const std::string path = program_.File("big.csv").string();
    std::ofstream out(path, std::ios::binary);
    out << kHeader;
    for (int i = 1; i <= rows; ++i)
      out << "\"" << i << "\",\"golf clubs " << i << "\",\"120\",\"1,230\",\"\",\"\"\r\n";
    return path;
  }
};

TEST_F(BigFileTest, TheWindowAnswersWhileABigFileIsRead) {
  const std::string path = BigFile(600000);
  // A timer stands for the window's events: it must keep firing.
  QElapsedTimer clock;
  std::vector<qint64> ticks;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
  timer.start();
  clock.start();
  ASSERT_TRUE(window_->Transfer().OpenResultsFile(path));
  const qint64 took = clock.elapsed();
  timer.stop();
  EXPECT_EQ(window_->Results().RowCount(), 600000);
  ASSERT_FALSE(ticks.empty()) << "no event was served in " << took << " ms";
  qint64 longest = ticks.front();
  for (std::size_t i = 1; i < ticks.size(); ++i)
    longest = std::max(longest, ticks[i] - ticks[i - 1]);
  EXPECT_LT(longest, 1000) << "over " << took << " ms";
}

TEST_F(BigFileTest, ALongReadShowsItsProgressAndCancelAddsNothing) {
  const std::string path = BigFile(300000);
  AddPhrases({"kept"});
  // A slow machine: every turn of the event loop takes 60 ms.
  QTimer slow;
  slow.setInterval(0);
  QObject::connect(&slow, &QTimer::timeout, [] { QThread::msleep(60); });
  slow.start();
  QString label;
  WhenModalOpens([&](QWidget* dialog) {
    auto* progress = qobject_cast<QProgressDialog*>(dialog);
    ASSERT_NE(progress, nullptr);
    label = progress->labelText();
    progress->cancel();
  });
  EXPECT_FALSE(window_->Transfer().OpenResultsFile(path));
  slow.stop();
  EXPECT_EQ(label, "Reading big.csv\u2026");
  EXPECT_EQ(Column(kColKeywords), (Cells{"kept"}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

// --- Open Recent

TEST_F(ResultsTransferTest, OpenRecentListsTheFilesOpenedAndSavedAndDropsTheGoneOnes) {
  AddPhrases({"golf"});
  for (const char* name : {"a.csv", "b.csv", "c.csv"}) {
    program_.Write(name, kHeader);
    Open(program_.File(name).string());
  }
  FileDialogs::SetNextFileName(QString::fromStdString(program_.File("saved.csv").string()));
  window_->btnSaveResultsClick();
  std::filesystem::remove(program_.File("b.csv"));

  QMenu* menu = Action("actOpenRecent")->menu();
  window_->Transfer().FillRecentMenu();
  QStringList entries;
  for (QAction* entry : menu->actions())
    if (!entry->isSeparator()) entries << entry->text() + (entry->isEnabled() ? "" : " (off)");
  const auto in = [&](const char* name) {
    return QString::fromStdString(program_.File(name).string());
  };
  EXPECT_EQ(entries.join('\n').toStdString(),
            ("&1 " + in("saved.csv") + "\n&2 " + in("c.csv") + "\n&3 " + in("a.csv") +
             "\nGone, taken off the list: " + in("b.csv") + " (off)")
                .toStdString());

  menu->actions()[0]->trigger();
  EXPECT_EQ(Column(kColKeywords), (Cells{"golf", "golf"}));
  window_->Transfer().FillRecentMenu();
  EXPECT_EQ(menu->actions().size(), 3) << "the gone file is off the list for good";
}

TEST_F(ResultsTransferTest, OpenRecentKeepsEightFiles) {
  for (int i = 1; i <= 10; ++i) {
    const std::string name = "f" + std::to_string(i) + ".csv";
    program_.Write(name, kHeader);
    Open(program_.File(name).string());
  }
  window_->Transfer().FillRecentMenu();
  const QList<QAction*> entries = Action("actOpenRecent")->menu()->actions();
  ASSERT_EQ(entries.size(), 8);
  EXPECT_TRUE(entries.front()->text().endsWith("f10.csv"));
  EXPECT_TRUE(entries.back()->text().endsWith("f3.csv"));
}

}  // namespace
