#include "app/ResultsCsv.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"

using namespace quorvane;

namespace {

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::filesystem::path(QUORVANE_TEST_DATA) / name);
}

ResultRow Row(std::string no, std::string keyword, std::string searches = {},
              std::string google = {}) {
  return ResultRow{
      {std::move(no), std::move(keyword), std::move(searches), std::move(google), {}, {}}, false};
}

TEST(ResultsCsvTest, OneRowGivesTheHeaderAndThatRow) {
  ResultStore rows;
  rows.Add(Row("3", "golf clubs", "120", "1,230,000"));
  rows.SetChecked(0, true);  // ticked or not, every row is written
  EXPECT_EQ(BuildResultsCsv(rows), Fixture("one_row.csv"));
}

TEST(ResultsCsvTest, QuotesAreDoubledAndOtherBytesKept) {
  ResultStore rows;
  rows.Add(Row("1", "say \"hi\" now"));
  rows.Add(Row("2", "golf, soccer", "1,000"));
  rows.Add(Row("3", "caf\xe9 \xff"));
  rows.Add(Row("4", " \tpadded "));
  rows.Add(Row("5", "\""));
  EXPECT_EQ(BuildResultsCsv(rows), Fixture("awkward_cells.csv"));
}

TEST(ResultsCsvTest, RowsFollowTheTableOrder) {
  ResultStore rows;
  rows.Add(Row("1", "a", {}, "950"));
  rows.Add(Row("2", "b", {}, "1,200"));
  rows.SortNumeric(kColGoogle, false);
  EXPECT_EQ(BuildResultsCsv(rows),
            "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n"
            "\"2\",\"b\",\"\",\"1,200\",\"\",\"\"\r\n"
            "\"1\",\"a\",\"\",\"950\",\"\",\"\"\r\n");
}

}  // namespace
