// "Save Results" through the main window: the save dialog's settings, name
// completion, the bytes written, and saves that fail.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstring>
#include <set>
#include <string>

#include "app/ui/FMain.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/MainWindowFixture.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using Kind = MessageBox::Kind;

class SaveResultsTest : public MainWindowFixture {
 protected:
  SaveResultsTest() { OpenWindow(); }

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

TEST_F(SaveResultsTest, TheWorkbookTypeWritesAWorkbookWithItsOwnNameCompletion) {
  window_->Results().AppendKeywords({{"golf clubs", "1,234"}});
  struct Case {
    const char* chosen;
    const char* written;
  };
  for (const Case& c :
       {Case{"a", "a.xlsx"}, Case{"b.XLSX", "b.XLSX"}, Case{"c.csv", "c.csv.xlsx"}}) {
    Save(InFolder(c.chosen), kWorkbook);
    ASSERT_TRUE(program_.Exists(c.written)) << c.chosen;
    EXPECT_EQ(program_.Read(c.written).substr(0, 2), "PK") << "a zip container";
  }
  EXPECT_EQ(program_.Entries(), (std::set<std::string>{"a.xlsx", "b.XLSX", "c.csv.xlsx"}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_EQ(FileDialogs::Requests()[1].start, InFolder("a.xlsx"));

  const ChildResult read = RunChild({QUORVANE_PYTHON3, "-c",
                                     "import openpyxl,sys\n"
                                     "s = openpyxl.load_workbook(sys.argv[1]).active\n"
                                     "print([c.value for c in s[2]])\n",
                                     program_.File("a.xlsx").string()});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out, "[1, 'golf clubs', 1234, None, None, None]\n");

  // The CSV type, chosen or left as it is, still writes CSV.
  Save(InFolder("d"), QStringLiteral("CSV files (*.csv)"));
  Save(InFolder("e"));
  EXPECT_EQ(program_.Read("d.csv"), program_.Read("e.csv"));
  EXPECT_EQ(program_.Read("d.csv").substr(0, 5), "\"No\",");
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

}  // namespace
