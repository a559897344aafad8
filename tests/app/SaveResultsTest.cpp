// "Save Results" through the main window: the save dialog's settings, name
// completion, the bytes written, and saves that fail.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstring>
#include <set>
#include <string>

#include <stdlib.h>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTableView>
#include <fstream>
#include "app/ui/DesktopSettings.h"
#include "app/ui/FMain.h"
#include "app/ui/ResultsTransfer.h"
#include "base/ProgramFolder.h"
#include "base/UserFolders.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/ForgetFileHistory.h"
#include "support/MainWindowFixture.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;

class SaveResultsTest : public MainWindowFixture {
 protected:
  SaveResultsTest() {
    ForgetFileHistory();
    OpenWindow();
  }

  QString InFolder(const std::string& name) const {
    return QString::fromStdString(program_.File(name).string());
  }

  void Save(const QString& chosen, const QString& type = {}) {
    FileDialogs::SetNextFileName(chosen, type);
    window_->findChild<QPushButton*>("btnSaveResults")->click();
  }
};

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::filesystem::path(QUORVANE_TEST_DATA) / name);
}

TEST_F(SaveResultsTest, EmptyTableSaysSoAndOpensNoDialog) {
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  window_->findChild<QPushButton*>("btnSaveResults")->click();
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, Kind::Information);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "You don't have any data to save.");
  EXPECT_TRUE(FileDialogs::Requests().empty());
}

TEST_F(SaveResultsTest, WritesTheTableAsCsvBytes) {
  // Written as it stands: the number is the row's, not its place.
  window_->Results().AppendRows({ResultRow{{"3", "golf clubs", "120", "", "", ""}, false}});
  window_->Results().SetCell(0, kColGoogle, "1,230,000");
  Save(InFolder("results"));

  ASSERT_EQ(FileDialogs::Requests().size(), 1u);
  const auto& request = FileDialogs::Requests()[0];
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.title, "Save file");
  EXPECT_EQ(request.filter, "CSV files (*.csv);;Excel workbook (*.xlsx)") << "CSV first";
  EXPECT_EQ(request.start, QString::fromStdString(program_.Path().string()))
      << "first use starts in the program folder with no name";

  EXPECT_EQ(program_.Read("results.csv"), Fixture("one_row.csv"));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(SaveResultsTest, AQuoteInACellKeepsTheFileWellFormed) {
  for (const char* keyword : {"say \"hi\" now", "golf, soccer", "caf\xe9 \xff", " \tpadded ", "\""})
    window_->Results().AppendKeywords({{keyword, ""}});
  window_->Results().SetCell(1, kColSearches, "1,000");
  Save(InFolder("awkward.csv"));
  EXPECT_EQ(program_.Read("awkward.csv"), Fixture("awkward_cells.csv"));
}

TEST_F(SaveResultsTest, NameCompletionAndTheNextStartFolder) {
  window_->Results().AppendKeywords({{"golf", ""}});
  struct Case {
    const char* chosen;
    const char* written;
  };
  for (const Case& c :
       {Case{"a.CSV", "a.CSV"}, Case{"b.txt", "b.txt.csv"}, Case{"c.csv", "c.csv"}}) {
    Save(InFolder(c.chosen));
    EXPECT_TRUE(program_.Exists(c.written)) << c.chosen;
  }
  EXPECT_FALSE(program_.Exists("b.txt"));
  const auto& requests = FileDialogs::Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].start, InFolder("a.CSV")) << "later uses start at the file chosen last";
  EXPECT_EQ(requests[2].start, InFolder("b.txt.csv"));
}

TEST_F(SaveResultsTest, CancelWritesNothing) {
  window_->Results().AppendKeywords({{"golf", ""}});
  Save({});
  EXPECT_TRUE(std::filesystem::is_empty(program_.Path()));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(SaveResultsTest, SavingOverAFileAsksFirstNamingTheFile) {
  window_->Results().AppendKeywords({{"golf", ""}});
  Save(InFolder("r.csv"));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty()) << "a new file is not asked about";
  const std::string first = program_.Read("r.csv");
  window_->Results().AppendKeywords({{"soccer", ""}});

  // The name the dialog completed is the one asked about, once, by its
  // name alone; Cancel writes nothing.
  MessageBox::SetNextAnswer(MessageBox::Answer::Cancel);
  Save(InFolder("r"));
  EXPECT_EQ(program_.Read("r.csv"), first);
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  Save(InFolder("r"));
  EXPECT_EQ(program_.Read("r.csv"),
            "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
            "\"1\",\"golf\",\"\",\"\",\"\",\"\"\r\n"
            "\"2\",\"soccer\",\"\",\"\",\"\",\"\"\r\n");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  for (const auto& box : MessageBox::ShownBoxes()) {
    EXPECT_EQ(box.kind, Kind::Confirm);
    EXPECT_EQ(box.text, "r.csv already exists. Replace it?");
  }
  EXPECT_EQ(program_.Entries(), std::set<std::string>{"r.csv"});
}

TEST_F(SaveResultsTest, AFileThatCannotBeCreatedIsReported) {
  window_->Results().AppendKeywords({{"golf", ""}});
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  const std::string target = program_.File("missing").string() + "/r.csv";
  Save(QString::fromStdString(target));
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  const auto& box = MessageBox::ShownBoxes()[0];
  EXPECT_EQ(box.kind, Kind::Warning);
  const std::string names = "\"" + target + "\": ";
  const std::size_t at = box.text.find(names);
  ASSERT_NE(at, std::string::npos) << box.text;
  EXPECT_GT(box.text.size(), at + names.size()) << "the reason follows the name: " << box.text;
}

TEST_F(SaveResultsTest, AFailedWriteKeepsTheEarlierFileAndSaysWhy) {
  program_.Write("r.csv", "earlier good file\r\n");
  for (int i = 1; i <= 50; ++i) window_->Results().AppendKeywords({{"golf clubs", "1,000"}});
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);  // replace it
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  {
    FileSizeLimit limit(64);
    Save(InFolder("r.csv"));
  }
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].kind, Kind::Warning);
  EXPECT_NE(MessageBox::ShownBoxes()[1].text.find(program_.File("r.csv").string()),
            std::string::npos);
  EXPECT_EQ(program_.Read("r.csv"), "earlier good file\r\n");
  EXPECT_EQ(program_.Entries(), std::set<std::string>{"r.csv"}) << "no partial file left behind";
}

const QString kWorkbook = QStringLiteral("Excel workbook (*.xlsx)");

const QString kCsv = QStringLiteral("CSV files (*.csv)");

TEST_F(SaveResultsTest, TheTypedExtensionChoosesTheFormWhateverTypeWasOffered) {
  window_->Results().AppendKeywords({{"golf clubs", "1,234"}});
  enum Form { kCsvFile, kWorkbookFile };
  const struct {
    const char* typed;
    QString type;  // left chosen in the dialog
    const char* written;
    Form form;
  } cases[] = {
      {"a", kCsv, "a.csv", kCsvFile},
      {"b", kWorkbook, "b.xlsx", kWorkbookFile},
      {"c.xlsx", kCsv, "c.xlsx", kWorkbookFile},
      {"d.XLSX", kCsv, "d.XLSX", kWorkbookFile},
      {"e.csv", kWorkbook, "e.csv", kCsvFile},
      {"f.CSV", kCsv, "f.CSV", kCsvFile},
      {"g.txt", kCsv, "g.txt.csv", kCsvFile},
      {"h.txt", kWorkbook, "h.txt.xlsx", kWorkbookFile},
  };
  std::set<std::string> written;
  for (const auto& c : cases) {
    Save(InFolder(c.typed), c.type);
    ASSERT_TRUE(program_.Exists(c.written)) << c.typed;
    written.insert(c.written);
    // What is in the file, by its first bytes: a zip container or the CSV header.
    EXPECT_EQ(program_.Read(c.written).substr(0, 4),
              c.form == kWorkbookFile ? "PK\x03\x04" : "\"No\"")
        << c.typed;
  }
  EXPECT_EQ(program_.Entries(), written);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());

  const ChildResult read = RunChild({QUORVANE_PYTHON3, "-c",
                                     "import openpyxl,sys\n"
                                     "s = openpyxl.load_workbook(sys.argv[1]).active\n"
                                     "print([c.value for c in s[2]])\n",
                                     program_.File("c.xlsx").string()});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out, "[1, 'golf clubs', 1234, None, None, None]\n");
}

TEST_F(SaveResultsTest, TheDialogOffersTheTypeAndTheFileUsedLast) {
  window_->Results().AppendKeywords({{"golf", ""}});
  Save(InFolder("first"), kWorkbook);
  Save(InFolder("second.csv"), kWorkbook);  // the typed extension wins
  Save(InFolder("third"));                  // left on the type offered
  const auto& requests = FileDialogs::Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].offered, kCsv) << "CSV before any save";
  EXPECT_EQ(requests[1].offered, kWorkbook);
  EXPECT_EQ(requests[1].start, InFolder("first.xlsx"));
  EXPECT_EQ(requests[2].offered, kCsv) << "the form written last, not the type shown";
  EXPECT_EQ(requests[2].start, InFolder("second.csv"));
  EXPECT_TRUE(program_.Exists("third.csv"));
}

TEST_F(SaveResultsTest, AFailedWorkbookWriteKeepsTheEarlierFileAndSaysWhy) {
  program_.Write("r.xlsx", "earlier good file");
  for (int i = 1; i <= 200; ++i) window_->Results().AppendKeywords({{"golf clubs", "1,000"}});
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);  // replace it
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  {
    FileSizeLimit limit(1024);
    Save(InFolder("r.xlsx"), kWorkbook);
  }
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 2u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "r.xlsx already exists. Replace it?");
  EXPECT_EQ(MessageBox::ShownBoxes()[1].kind, Kind::Warning);
  EXPECT_EQ(MessageBox::ShownBoxes()[1].text, "The results could not be saved to \"" +
                                                  program_.File("r.xlsx").string() +
                                                  "\": " + std::strerror(EFBIG));
  EXPECT_EQ(program_.Read("r.xlsx"), "earlier good file");
  EXPECT_EQ(program_.Entries(), std::set<std::string>{"r.xlsx"}) << "no partial file left behind";
}

// The settings file of the first run, handed to the second: set, this
// case plays the second run.
constexpr const char* kFirstRunSettings = "QUORVANE_TEST_FIRST_RUN_CONFIG";

TEST_F(SaveResultsTest, FoldersTypesAndRecentFilesAreRememberedForTheNextRun) {
  const char* firstRun = getenv(kFirstRunSettings);
  if (firstRun != nullptr) {
    // The second run: a new process, a new window, the first run's settings.
    const std::string folders = firstRun;
    setenv("XDG_CONFIG_HOME", folders.c_str(), 1);
    OpenWindow();
    window_->Results().AppendKeywords({{"golf", ""}});
    Save({});
    FileDialogs::SetNextFileName({});
    window_->Transfer().OpenResults();
    ASSERT_EQ(FileDialogs::Requests().size(), 2u);
    const char* savedIn = getenv("QUORVANE_TEST_SAVED_IN");
    const char* openedIn = getenv("QUORVANE_TEST_OPENED_IN");
    ASSERT_TRUE(savedIn != nullptr && openedIn != nullptr);
    EXPECT_EQ(FileDialogs::Requests()[0].start, QString::fromUtf8(savedIn));
    EXPECT_EQ(FileDialogs::Requests()[0].offered, kWorkbook);
    EXPECT_EQ(FileDialogs::Requests()[1].start, QString::fromUtf8(openedIn));
    EXPECT_EQ(FileDialogs::Requests()[1].offered, "Excel workbook (*.xlsx)");
    window_->Transfer().FillRecentMenu();
    QStringList entries;
    for (QAction* entry : Action("actOpenRecent")->menu()->actions())
      if (!entry->isSeparator()) entries << entry->text();
    EXPECT_EQ(entries.join('\n').toStdString(),
              "&1 " + std::string(savedIn) + "/r.xlsx\n&2 " + openedIn +
                  "/in.xlsx\nGone, taken off the list: " + openedIn + "/gone.csv");
    return;
  }

  const auto saved = program_.File("saved");
  const auto opened = program_.File("opened");
  std::filesystem::create_directories(saved);
  std::filesystem::create_directories(opened);
  window_->Results().AppendKeywords({{"golf", ""}});
  WriteFileBytes(opened / "gone.csv", "golf\n");
  WriteFileBytes(opened / "in.xlsx", "");
  FileDialogs::SetNextFileName(QString::fromStdString((opened / "gone.csv").string()),
                               "CSV files (*.csv)");
  window_->Transfer().OpenResults();
  std::filesystem::remove(opened / "gone.csv");
  // An empty file is an empty table: it opens and adds nothing.
  FileDialogs::SetNextFileName(QString::fromStdString((opened / "in.xlsx").string()),
                               "Excel workbook (*.xlsx)");
  window_->Transfer().OpenResults();
  Save(QString::fromStdString((saved / "r").string()), kWorkbook);
  ASSERT_TRUE(std::filesystem::exists(saved / "r.xlsx"));
  DesktopSettings().Sync();

  setenv(kFirstRunSettings, getenv("XDG_CONFIG_HOME"), 1);
  setenv("QUORVANE_TEST_SAVED_IN", saved.c_str(), 1);
  setenv("QUORVANE_TEST_OPENED_IN", opened.c_str(), 1);
  const ChildResult second = RunChild(
      {"/proc/self/exe",
       "--gtest_filter=SaveResultsTest.FoldersTypesAndRecentFilesAreRememberedForTheNextRun"});
  for (const char* name : {kFirstRunSettings, "QUORVANE_TEST_SAVED_IN", "QUORVANE_TEST_OPENED_IN"})
    unsetenv(name);
  EXPECT_EQ(second.exitCode, 0) << second.out << second.err;
  EXPECT_NE(second.out.find("[  PASSED  ] 1 test"), std::string::npos) << second.out;
}

TEST_F(SaveResultsTest, TheInstalledProgramStartsInDocumentsElseHome) {
  // The packaged program's folder: the user's hidden data folder.
  const auto installed = UserDataFolder();
  std::filesystem::create_directories(installed);
  SetProgramFolder(installed);
  const TempFolder documents;
  {
    std::ofstream dirs(std::filesystem::path(getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs");
    dirs << "XDG_DOCUMENTS_DIR=\"" << documents.Path().string() << "\"\n";
  }
  window_->Results().AppendKeywords({{"golf", ""}});
  Save({});
  FileDialogs::SetNextFileName({});
  window_->Transfer().OpenResults();
  std::filesystem::remove(std::filesystem::path(getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs");
  Save({});

  const auto& requests = FileDialogs::Requests();
  ASSERT_EQ(requests.size(), 3u);
  const QString docs = QString::fromStdString(documents.Path().string());
  EXPECT_EQ(requests[0].start, docs);
  EXPECT_EQ(requests[1].start, docs);
  // No Documents folder any more (the default one is not there): home.
  if (!QDir(QDir::homePath() + "/Documents").exists()) {
    EXPECT_EQ(requests[2].start, QDir::homePath());
  }
  SetProgramFolder(program_.Path());
}

}  // namespace
