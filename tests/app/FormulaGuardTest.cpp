// Cells a spreadsheet would take for a formula: how Save Results' CSV and
// Copy's text write them, and that reading either back gives the exact
// cell again.
#include "app/FormulaGuard.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/ResultStore.h"
#include "app/ResultsCsv.h"
#include "app/ResultsCsvReader.h"

using namespace quorvane;

namespace {

struct Case {
  std::string cell;
  std::string written;  // the cell as written (in a CSV field, its quotes are doubled)
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << testing::PrintToString(c.cell);
}

const std::string kHeader = "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";

class FormulaCellTest : public ::testing::TestWithParam<Case> {
 protected:
  // The cell in the Keywords and the Msn column of one row.
  static ResultStore Store(const std::string& cell) {
    ResultStore store;
    store.Add(ResultRow{{"1", cell, "", "", "", cell}, false});
    return store;
  }
};

TEST_P(FormulaCellTest, SaveResultsWritesItSafelyAndOpenResultsReadsItBackExactly) {
  const Case& c = GetParam();
  EXPECT_EQ(GuardFormula(c.cell), c.written);
  std::string field;
  for (const char b : c.written) field += b == '"' ? std::string("\"\"") : std::string(1, b);
  const std::string csv = BuildResultsCsv(Store(c.cell));
  EXPECT_EQ(csv, kHeader + "\"1\",\"" + field + "\",\"\",\"\",\"\",\"" + field + "\"\r\n");

  const ResultsText back = ParseResultsText(csv);
  ASSERT_TRUE(back.ok()) << back.problem;
  ASSERT_EQ(back.rows.size(), 1u);
  EXPECT_EQ(back.rows[0].cells[kColKeywords], c.cell);
  EXPECT_EQ(back.rows[0].cells[kColMsn], c.cell);
}

TEST_P(FormulaCellTest, CopysTabTextIsGuardedTooAndPastesBackExactly) {
  const Case& c = GetParam();
  const std::string tabs = BuildResultsTabText(Store(c.cell), {0});
  const std::size_t line = tabs.find('\n') + 1;
  // The cell is the second field of the row.
  const std::string field = tabs.substr(line + 2, tabs.find('\t', line + 2) - line - 2);
  if (c.written.find_first_of("\t\r\"") == std::string::npos) {
    EXPECT_EQ(field, c.written);
  }
  const ResultsText back = ParseResultsText(tabs);
  ASSERT_TRUE(back.ok()) << back.problem;
  ASSERT_EQ(back.rows.size(), 1u);
  EXPECT_EQ(back.rows[0].cells[kColKeywords], c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, FormulaCellTest,
    ::testing::Values(
        // Each byte that starts a formula.
        Case{"=HYPERLINK(\"http://x\",\"y\")", "'=HYPERLINK(\"http://x\",\"y\")"},
        Case{"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"}, Case{"+1+1", "'+1+1"},
        Case{"-2+3", "'-2+3"}, Case{"@SUM(A1)", "'@SUM(A1)"}, Case{"\t=1+1", "'\t=1+1"},
        Case{"\r=1+1", "'\r=1+1"}, Case{"-", "'-"}, Case{"+", "'+"},
        Case{"-free golf", "'-free golf"},
        // Plain numbers are left as they are: a spreadsheet reads a number.
        Case{"-5", "-5"}, Case{"+3", "+3"}, Case{"1,200", "1,200"}, Case{"-1,200", "-1,200"},
        Case{"-12.5", "-12.5"}, Case{"0", "0"},
        // Everything else keeps its exact bytes.
        Case{"golf clubs", "golf clubs"}, Case{"golf = sport", "golf = sport"},
        Case{" =1+1", " =1+1"}, Case{"", ""}, Case{"'quoted'", "'quoted'"},
        Case{"caf\xc3\xa9", "caf\xc3\xa9"}, Case{"1.", "1."},
        // A cell that starts with apostrophes before a formula gets one more,
        // so that reading it back takes exactly one off.
        Case{"'=1+1", "''=1+1"}, Case{"''-x", "'''-x"}, Case{"'-5", "'-5"}));

TEST(FormulaGuardTest, ReadingTakesOffOnlyTheApostropheThatWritingPutThere) {
  EXPECT_EQ(UnguardFormula("'=1+1"), "=1+1");
  EXPECT_EQ(UnguardFormula("'golf"), "'golf");
  EXPECT_EQ(UnguardFormula("'-5"), "'-5");
  EXPECT_EQ(UnguardFormula("'"), "'");
  EXPECT_EQ(UnguardFormula("=1+1"), "=1+1");
}

TEST(FormulaGuardTest, AListOfPhrasesIsReadAsItIsWritten) {
  // Only a table carries guarded cells; a list of phrases is nobody's CSV.
  const ResultsText list = ParseResultsText("'=1+1\n'-x\n");
  ASSERT_TRUE(list.ok());
  ASSERT_FALSE(list.table);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0].cells[kColKeywords], "'=1+1");
}

}  // namespace
