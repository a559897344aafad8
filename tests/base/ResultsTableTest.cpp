#include "base/ResultsTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/MemoryResultsTable.h"

using namespace quorvane;

namespace {

using Row = MemoryResultsTable::Row;

TEST(AppendKeywords, NumbersOnFromTheRowsAlreadyThere) {
  struct Case {
    const char* name;
    std::vector<Row> before;
    std::vector<NewKeyword> added;
    std::vector<Row> after;
  };
  const Case cases[] = {
      {"into an empty table",
       {},
       {{"golf clubs", "1,234"}, {"golf bags", ""}},
       {{"1", "golf clubs", "1,234", "", "", ""}, {"2", "golf bags", "", "", "", ""}}},
      // The number follows the row count, not the last row's No: rows
      // deleted or sorted earlier leave their numbers behind.
      {"after rows numbered otherwise",
       {{"7", "a", "", "1", "2", "3"}, {"3", "b", "", "", "", ""}},
       {{"golf", "5"}},
       {{"7", "a", "", "1", "2", "3"}, {"3", "b", "", "", "", ""}, {"3", "golf", "5", "", "", ""}}},
      {"duplicates kept",
       {{"1", "golf", "", "", "", ""}},
       {{"golf", ""}, {"golf", ""}},
       {{"1", "golf", "", "", "", ""},
        {"2", "golf", "", "", "", ""},
        {"3", "golf", "", "", "", ""}}},
      {"nothing to add", {{"1", "golf", "", "", "", ""}}, {}, {{"1", "golf", "", "", "", ""}}},
  };
  for (const Case& c : cases) {
    MemoryResultsTable table;
    for (const Row& row : c.before) {
      table.AppendRows({ResultRow{row, false}});
    }
    table.AppendKeywords(c.added);
    EXPECT_EQ(table.Rows(), c.after) << c.name;
  }
}

// The rows as they arrive, check boxes included.
class TickRecordingTable : public MemoryResultsTable {
 public:
  void AppendRows(std::vector<ResultRow> rows) override {
    for (const ResultRow& row : rows) ticked.push_back(row.checked);
    MemoryResultsTable::AppendRows(std::move(rows));
  }
  std::vector<bool> ticked;
};

TEST(AppendNumbered, RenumbersWholeRowsKeepingTheirOtherCellsAndClearingTheirTicks) {
  TickRecordingTable table;
  table.AppendKeywords({{"golf", ""}});
  table.AppendNumbered({ResultRow{{"12", "tee", "3", "1,000", "", "7"}, true},
                        ResultRow{{"", "par", "", "", "", ""}, false}});
  EXPECT_EQ(table.Rows(), (std::vector<Row>{{"1", "golf", "", "", "", ""},
                                            {"2", "tee", "3", "1,000", "", "7"},
                                            {"3", "par", "", "", "", ""}}));
  EXPECT_EQ(table.ticked, (std::vector<bool>{false, false, false}));
}

// A reopened or pasted table goes on from the largest number: after a
// delete the row count is a number a row may still carry.
TEST(AppendNumbered, NumbersOnFromTheLargestNumberInTheTable) {
  const struct {
    const char* name;
    std::vector<Row> before;
    std::vector<std::string> after;  // the No cells
  } cases[] = {
      {"empty", {}, {"1", "2"}},
      {"after a delete",
       {{"2", "a", "", "", "", ""}, {"3", "b", "", "", "", ""}},
       {"2", "3", "4", "5"}},
      {"sorted down",
       {{"9", "a", "", "", "", ""}, {"1", "b", "", "", "", ""}},
       {"9", "1", "10", "11"}},
      {"a No that is no number",
       {{"x", "a", "", "", "", ""}, {"", "b", "", "", "", ""}},
       {"x", "", "1", "2"}},
  };
  for (const auto& c : cases) {
    MemoryResultsTable table;
    for (const Row& row : c.before) table.AppendRows({ResultRow{row, false}});
    table.AppendNumbered(
        {ResultRow{{"", "p", "", "", "", ""}, false}, ResultRow{{"", "q", "", "", "", ""}, false}});
    std::vector<std::string> numbers;
    for (const Row& row : table.Rows()) numbers.push_back(row[kColNo]);
    EXPECT_EQ(numbers, c.after) << c.name;
  }
}

}  // namespace
