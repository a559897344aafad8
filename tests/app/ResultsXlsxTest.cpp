// The results table as an Excel workbook, read back by an independent
// reader (openpyxl, run as a child process): numbers as numbers, text as
// text, the bold frozen header, the auto-filter, fitted widths; and writes
// that fail.
#include "app/ResultsXlsx.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

ResultRow Row(std::string no, std::string keyword, std::string searches = {},
              std::string google = {}, std::string yahoo = {}, std::string msn = {}) {
  return ResultRow{{std::move(no), std::move(keyword), std::move(searches), std::move(google),
                    std::move(yahoo), std::move(msn)},
                   false};
}

// What the reader prints for the workbook at `file` (see read_workbook.py).
std::string ReadBack(const std::filesystem::path& file) {
  const ChildResult result = RunChild({QUORVANE_PYTHON3, QUORVANE_READ_WORKBOOK, file.string()});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result.out;
}

TEST(ResultsXlsxTest, CountValueReadsWholeNumbersWithOrWithoutThousandsSeparators) {
  const struct {
    const char* cell;
    std::optional<double> value;
  } cases[] = {
      {"0", 0},
      {"7", 7},
      {"1234", 1234},
      {"1,234", 1234},
      {"12,345", 12345},
      {"1,230,000", 1230000},
      {"999,999,999,999,999", 999999999999999},
      {"123456789012345", 123456789012345},
      {"", std::nullopt},
      {"n/a", std::nullopt},
      {"12.5", std::nullopt},
      {"-3", std::nullopt},
      {"+3", std::nullopt},
      {" 12", std::nullopt},
      {"12 ", std::nullopt},
      {"007", std::nullopt},
      {"0,123", std::nullopt},
      {"1,23", std::nullopt},
      {"1,2345", std::nullopt},
      {"1234,567", std::nullopt},
      {",123", std::nullopt},
      {"123,", std::nullopt},
      {"1,,234", std::nullopt},
      {"1,234,56", std::nullopt},
      {"1234567890123456", std::nullopt},
      {"1,234,567,890,123,456", std::nullopt},
      {"12abc", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CountValue(c.cell), c.value) << '"' << c.cell << '"';
}

TEST(ResultsXlsxTest, ASpreadsheetReadsNumbersTextAndTheTableLayout) {
  TempFolder folder;
  ResultStore rows;
  rows.Add(Row("1", "golf clubs", "1,234", "1,230,000", "n/a", ""));
  rows.Add(Row("2", "caf\xc3\xa9 \xff", "12.5", "007", "-3"));
  rows.Add(Row("10", "say \"hi\" <now> & then", "", "0", "1,23", "88"));
  rows.SetChecked(1, true);  // ticked or not, every row is written
  const auto file = folder.File("results.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(file, rows));

  EXPECT_EQ(ReadBack(file),
            "sheet Results\n"
            "freeze A2\n"
            "filter A1:F4\n"
            "width A 5\n"
            "width B 22\n"
            "width C 11\n"
            "width D 10\n"
            "width E 8\n"
            "width F 6\n"
            "cell A1 str 'No' bold\n"
            "cell B1 str 'Keywords' bold\n"
            "cell C1 str 'Searches' bold\n"
            "cell D1 str 'Google' bold\n"
            "cell E1 str 'Yahoo' bold\n"
            "cell F1 str 'Msn' bold\n"
            "cell A2 int 1 format General\n"
            "cell B2 str 'golf clubs'\n"
            "cell C2 int 1234 format #,##0\n"
            "cell D2 int 1230000 format #,##0\n"
            "cell E2 str 'n/a'\n"
            "cell A3 int 2 format General\n"
            "cell B3 str 'café \xef\xbf\xbd'\n"
            "cell C3 str '12.5'\n"
            "cell D3 str '007'\n"
            "cell E3 str '-3'\n"
            "cell A4 int 10 format General\n"
            "cell B4 str 'say \"hi\" <now> & then'\n"
            "cell D4 int 0 format General\n"
            "cell E4 str '1,23'\n"
            "cell F4 int 88 format General\n");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"results.xlsx"}) << "no temporary file left";
}

// A workbook cell is a string or a formula by its type, not by its first
// character: text that a CSV must guard stays inert text here.
TEST(ResultsXlsxTest, TextThatLooksLikeAFormulaStaysTextAndTheWorkbookHoldsNoFormula) {
  TempFolder folder;
  ResultStore rows;
  rows.Add(Row("1", "=HYPERLINK(\"http://x\",\"y\")", "+1+1", "-2+3", "@SUM(A1)", "=1+1"));
  const auto file = folder.File("formulas.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(file, rows));
  const std::string read = ReadBack(file);
  EXPECT_NE(read.find("cell B2 str '=HYPERLINK(\"http://x\",\"y\")'\n"), std::string::npos) << read;
  EXPECT_NE(read.find("cell C2 str '+1+1'\n"), std::string::npos) << read;
  EXPECT_NE(read.find("cell F2 str '=1+1'\n"), std::string::npos) << read;
  const ChildResult sheet =
      RunChild({QUORVANE_PYTHON3, "-c",
                "import sys, zipfile\n"
                "z = zipfile.ZipFile(sys.argv[1])\n"
                "print(sum(b'<f>' in z.read(n) or b'<f ' in z.read(n) for n in z.namelist()))\n",
                file.string()});
  ASSERT_EQ(sheet.exitCode, 0) << sheet.err;
  EXPECT_EQ(sheet.out, "0\n") << "no part of the workbook holds a formula";
}

TEST(ResultsXlsxTest, AnEmptyTableIsTheHeaderAlone) {
  TempFolder folder;
  const auto file = folder.File("empty.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(file, ResultStore()));
  const std::string read = ReadBack(file);
  EXPECT_NE(read.find("filter A1:F1\n"), std::string::npos) << read;
  EXPECT_NE(read.find("cell F1 str 'Msn' bold\n"), std::string::npos) << read;
  EXPECT_EQ(read.find("cell A2"), std::string::npos) << read;
}

TEST(ResultsXlsxTest, LongCellsAreCutToWhatACellHoldsAndWidthsStayBounded) {
  TempFolder folder;
  ResultStore rows;
  // 40,000 two-byte characters: more than a cell takes, cut on a character.
  std::string longPhrase;
  for (int i = 0; i < 40000; ++i) longPhrase += "\xc3\xa9";
  rows.Add(Row("1", longPhrase));
  const auto file = folder.File("long.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(file, rows));
  const ChildResult result =
      RunChild({QUORVANE_PYTHON3, "-c",
                "import openpyxl,sys\n"
                "s = openpyxl.load_workbook(sys.argv[1]).active\n"
                "v = s['B2'].value\n"
                "print(len(v), set(v) == {'\\u00e9'}, int(s.column_dimensions['B'].width))\n",
                file.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "16383 True 100\n");
}

TEST(ResultsXlsxTest, ControlCharactersKeepTheWorkbookReadable) {
  TempFolder folder;
  ResultStore rows;
  rows.Add(Row("1", std::string("a\x01"
                                "b\tc\x1f",
                                7)));
  const auto file = folder.File("controls.xlsx");
  ASSERT_FALSE(WriteResultsXlsx(file, rows));
  // Characters XML cannot carry are in the workbook's own escape form,
  // which spreadsheet programs decode; this reader shows it as it is.
  const std::string read = ReadBack(file);
  EXPECT_NE(read.find("cell B2 str 'a_x0001_b\\tc_x001F_'\n"), std::string::npos) << read;
}

TEST(ResultsXlsxTest, AFailedWriteKeepsTheEarlierFileAndLeavesNoTemporary) {
  TempFolder folder;
  const auto file = folder.File("r.xlsx");
  WriteFileBytes(file, "earlier file");
  ResultStore rows;
  for (int i = 1; i <= 500; ++i)
    rows.Add(Row(std::to_string(i), "golf clubs " + std::to_string(i), "1,000"));
  std::error_code error;
  {
    FileSizeLimit limit(2048);
    error = WriteResultsXlsx(file, rows);
  }
  EXPECT_EQ(error, std::error_code(EFBIG, std::generic_category())) << error.message();
  EXPECT_EQ(ReadFileBytes(file), "earlier file");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"r.xlsx"});

  const auto missing = folder.File("missing") / "r.xlsx";
  EXPECT_EQ(WriteResultsXlsx(missing, rows), std::error_code(ENOENT, std::generic_category()));
}

}  // namespace
