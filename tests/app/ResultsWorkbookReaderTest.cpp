// Open Results on workbooks: the one Save Results writes, workbooks other
// programs write (made here by openpyxl or part by part), and damaged ones.
#include "app/ResultsWorkbookReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ResultStore.h"
#include "app/ResultsFileReader.h"
#include "app/ResultsXlsx.h"
#include "support/ChildProcess.h"
#include "support/ResultsTextRows.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

class WorkbookReaderTest : public ::testing::Test {
 protected:
  // The workbook of one case of make_workbook.py, read as Open Results
  // reads a file.
  ResultsFile Made(const std::string& name) {
    const std::string path = folder_.File(name + ".xlsx").string();
    const ChildResult made = RunChild({QUORVANE_PYTHON3, QUORVANE_MAKE_WORKBOOK, name, path});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return ReadResultsFile(path);
  }

  TempFolder folder_;
};

TEST_F(WorkbookReaderTest, ItsOwnWorkbookReadsBackAsTheTableItWasWrittenFrom) {
  ResultStore store;
  store.Add(ResultRow{{"1", "golf clubs", "1,234", "1234", "=1+1", "caf\xc3\xa9"}, false});
  store.Add(ResultRow{{"2", "", "", "", "", "0"}, false});
  store.Add(ResultRow{{"3", "-5", "007", "12.5", "x, y; z", "\"quoted\""}, false});
  store.Add(ResultRow{{"4",
                       std::string("a\x01"
                                   "b\tc_x0041_",
                                   11),
                       "", "", "", ""},
                      false});
  const auto path = folder_.File("own.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(path, store));

  const ResultsFile file = ReadResultsFile(path);
  ASSERT_TRUE(file.readable) << file.problem;
  ASSERT_TRUE(file.text.ok()) << file.text.problem;
  EXPECT_TRUE(file.text.table);
  EXPECT_EQ(Rows(file.text),
            (std::vector<Cells>{{"golf clubs", "1,234", "1234", "=1+1", "caf\xc3\xa9"},
                                {"", "", "", "", "0"},
                                {"-5", "007", "12.5", "x, y; z", "\"quoted\""},
                                {std::string("a\x01"
                                             "b\tc_x0041_",
                                             11),
                                 "", "", "", ""}}));
  EXPECT_EQ(file.text.rows[2].cells[kColNo], "3");
}

TEST_F(WorkbookReaderTest, ASpreadsheetsHeaderInAnotherOrderMapsTheColumnsByName) {
  const ResultsFile file = Made("reordered");
  ASSERT_TRUE(file.readable && file.text.ok()) << ResultsFileProblem(file);
  EXPECT_TRUE(file.text.table);
  // A count formatted with separators keeps them; the other sheet is not read.
  EXPECT_EQ(Rows(file.text), (std::vector<Cells>{{"golf clubs", "120", "1,230,000", "", "7"},
                                                 {"tees", "1234", "12.5", "TRUE", ""}}));
}

TEST_F(WorkbookReaderTest, NumbersStoredAsTextStayAsTheyAre) {
  const ResultsFile file = Made("numbers_as_text");
  ASSERT_TRUE(file.readable && file.text.ok()) << ResultsFileProblem(file);
  EXPECT_EQ(Rows(file.text), (std::vector<Cells>{{"golf", "120", "1,230,000", "007", ""}}));
}

TEST_F(WorkbookReaderTest, OneColumnWithoutTheHeaderIsAListOfPhrases) {
  const ResultsFile file = Made("list");
  ASSERT_TRUE(file.readable && file.text.ok()) << ResultsFileProblem(file);
  EXPECT_FALSE(file.text.table);
  // An empty row, and a formula with no value kept, add nothing.
  EXPECT_EQ(Rows(file.text),
            (std::vector<Cells>{{"golf clubs", "", "", "", ""}, {"42", "", "", "", ""}}));
}

TEST_F(WorkbookReaderTest, SharedAndInlineStringsFormulaValuesAndTheFirstSheetByItsRelationship) {
  const ResultsFile file = Made("parts");
  ASSERT_TRUE(file.readable && file.text.ok()) << ResultsFileProblem(file);
  EXPECT_TRUE(file.text.table);
  EXPECT_EQ(Rows(file.text), (std::vector<Cells>{{"golf clubs", "120", "#N/A", "", "TRUE"},
                                                 {" caf\xc3\xa9 & cr\xc3\xa8me ", "", "", "xy", ""},
                                                 {"tennis", "", "", "", ""}}))
      << "phonetic guides are left out";
}

TEST_F(WorkbookReaderTest, ACellPastTheHeadersColumnsNamesItsRow) {
  const std::string path = folder_.File("wide.xlsx").string();
  const ResultsFile file = Made("wide");
  EXPECT_EQ(
      ResultsFileMessage(path, file),
      "The file \"" + path + "\" is not a results table: row 3 has 7 cells, the header has 6.");
  EXPECT_TRUE(file.text.rows.empty());
}

TEST_F(WorkbookReaderTest, DamagedWorkbooksAreRefusedWithTheirPartNamed) {
  const ResultsFile doctype = Made("doctype");
  EXPECT_FALSE(doctype.readable);
  EXPECT_EQ(doctype.problem,
            "is a damaged workbook: book/sheets/two.xml declares a document type, which no "
            "workbook does");
  const ResultsFile crc = Made("crc");
  EXPECT_FALSE(crc.readable);
  EXPECT_EQ(crc.problem, "is a damaged workbook: book/sheets/two.xml: CRC error");
  EXPECT_TRUE(crc.text.rows.empty());
}

TEST_F(WorkbookReaderTest, ATruncatedWorkbookIsADamagedZip) {
  ResultStore store;
  for (int i = 0; i < 50; ++i) store.Add(ResultRow{{"1", "golf", "", "", "", ""}, false});
  const auto path = folder_.File("cut.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(path, store));
  const std::string bytes = ReadFileBytes(path);
  const ResultsFile cut = ParseResultsWorkbook(bytes.substr(0, bytes.size() / 2));
  EXPECT_FALSE(cut.readable);
  EXPECT_EQ(cut.problem.rfind("is a damaged ZIP archive: ", 0), 0u) << cut.problem;
}

TEST_F(WorkbookReaderTest, AReadCanBeCancelled) {
  ResultStore store;
  for (int i = 0; i < 20000; ++i)
    store.Add(ResultRow{{std::to_string(i), "golf " + std::to_string(i), "1", "", "", ""}, false});
  const auto path = folder_.File("big.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(path, store));
  const ResultsFile cancelled =
      ParseResultsWorkbook(ReadFileBytes(path), [](double) { return false; });
  EXPECT_TRUE(cancelled.text.cancelled);
  EXPECT_TRUE(cancelled.text.rows.empty());
}

}  // namespace
