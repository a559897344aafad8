#include "app/ResultStore.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace quorvane;

namespace {

ResultRow Row(const std::string& no, const std::string& keyword, const std::string& searches = {},
              const std::string& google = {}) {
  return ResultRow{{no, keyword, searches, google, {}, {}}, false};
}

std::vector<std::string> Column(const ResultStore& store, int column) {
  std::vector<std::string> cells;
  for (int i = 0; i < store.Count(); ++i) cells.push_back(store.Cell(i, column));
  return cells;
}

using Cells = std::vector<std::string>;

TEST(ResultStoreTest, NumericSortTreatsEmptyCellsAsZero) {
  ResultStore store;
  store.Add(Row("1", "a", {}, "1,200"));
  store.Add(Row("2", "b", {}, "950"));
  store.Add(Row("3", "c", {}, ""));
  store.SortNumeric(kColGoogle, true);
  EXPECT_EQ(Column(store, kColGoogle), (Cells{"", "950", "1,200"}));
  store.SortNumeric(kColGoogle, false);
  EXPECT_EQ(Column(store, kColGoogle), (Cells{"1,200", "950", ""}));
}

TEST(ResultStoreTest, NoColumnSortsByValueNotText) {
  ResultStore store;
  for (const char* no : {"10", "9", "100", "1"}) store.Add(Row(no, "k"));
  store.SortNumeric(kColNo, true);
  EXPECT_EQ(Column(store, kColNo), (Cells{"1", "9", "10", "100"}));
}

TEST(ResultStoreTest, EqualRowsKeepTheirOrderInBothDirections) {
  ResultStore store;
  // Counts above the 32-bit range, words and empty cells all read as 0.
  store.Add(Row("1", "first", "3,120,000,000"));
  store.Add(Row("2", "second", "5"));
  store.Add(Row("3", "third", "n/a"));
  store.Add(Row("4", "fourth", ""));
  store.SortNumeric(kColSearches, true);
  EXPECT_EQ(Column(store, kColKeywords), (Cells{"first", "third", "fourth", "second"}));
  store.SortNumeric(kColSearches, false);
  EXPECT_EQ(Column(store, kColKeywords), (Cells{"second", "first", "third", "fourth"}));
}

TEST(ResultStoreTest, SortKeepsCheckMarksWithTheirRows) {
  ResultStore store;
  store.Add(Row("1", "b", "2"));
  store.Add(Row("2", "a", "1"));
  store.SetChecked(0, true);
  store.SortNumeric(kColSearches, true);
  EXPECT_EQ(store.Cell(1, kColKeywords), "b");
  EXPECT_TRUE(store.Checked(1));
  EXPECT_FALSE(store.Checked(0));
}

TEST(ResultStoreTest, TakenRowsComeOutWholeAndGoBackWhereTheyStood) {
  ResultStore store;
  for (const char* no : {"1", "2", "3", "4", "5", "6"}) store.Add(Row(no, "k" + std::string(no)));
  for (const int row : {0, 2, 3, 5}) store.SetChecked(row, true);

  const std::vector<int> at = {0, 2, 3, 5};
  std::vector<ResultRow> taken = store.TakeRowsAt(at);
  EXPECT_EQ(Column(store, kColNo), (Cells{"2", "5"})) << "the others in order, never renumbered";
  ASSERT_EQ(taken.size(), 4u);
  EXPECT_EQ(taken[1].cells[kColKeywords], "k3");
  EXPECT_TRUE(taken[3].checked);

  store.InsertRowsAt(at, std::move(taken));
  EXPECT_EQ(Column(store, kColNo), (Cells{"1", "2", "3", "4", "5", "6"}));
  for (int row = 0; row < 6; ++row) EXPECT_EQ(store.Checked(row), row != 1 && row != 4) << row;

  // Every row at once, and back into an empty table.
  taken = store.TakeRowsAt({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(store.Count(), 0);
  store.InsertRowsAt({0, 1, 2, 3, 4, 5}, std::move(taken));
  EXPECT_EQ(Column(store, kColKeywords), (Cells{"k1", "k2", "k3", "k4", "k5", "k6"}));

  EXPECT_THROW(store.InsertRowsAt({9}, {Row("9", "x")}), std::out_of_range);
  EXPECT_THROW(store.InsertRowsAt({0, 1}, {Row("9", "x")}), std::invalid_argument);
  EXPECT_EQ(store.Count(), 6);
}

TEST(ResultStoreTest, TakeRowsMovesARangeOut) {
  ResultStore store;
  for (const char* no : {"1", "2", "3", "4"}) store.Add(Row(no, "k"));
  const std::vector<ResultRow> taken = store.TakeRows(1, 2);
  EXPECT_EQ(Column(store, kColNo), (Cells{"1", "4"}));
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].cells[kColNo], "2");
  EXPECT_THROW(store.TakeRows(1, 5), std::out_of_range);
  EXPECT_EQ(store.Count(), 2);
}

TEST(ResultStoreTest, ARevertedOrderPutsEveryRowBack) {
  ResultStore store;
  for (const char* g : {"30", "10", "20", "10"}) store.Add(Row("n" + std::string(g), "k", {}, g));
  store.SetChecked(0, true);
  const std::vector<std::size_t> order = store.SortNumeric(kColGoogle, true);
  EXPECT_EQ(order, (std::vector<std::size_t>{1, 3, 2, 0}));
  EXPECT_TRUE(store.Checked(3));
  store.RevertOrder(order);
  EXPECT_EQ(Column(store, kColGoogle), (Cells{"30", "10", "20", "10"}));
  EXPECT_TRUE(store.Checked(0));
  store.ApplyOrder(order);
  EXPECT_EQ(Column(store, kColGoogle), (Cells{"10", "10", "20", "30"}));
  EXPECT_THROW(store.ApplyOrder({0, 1}), std::invalid_argument);
}

TEST(ResultStoreTest, IndexesOutOfRangeThrow) {
  ResultStore store;
  store.Add(Row("1", "k"));
  EXPECT_THROW(store.Cell(1, 0), std::out_of_range);
  EXPECT_THROW(store.Cell(-1, 0), std::out_of_range);
  EXPECT_THROW(store.Cell(0, kColumnCount), std::out_of_range);
  EXPECT_THROW(store.SetCell(0, -1, "x"), std::out_of_range);
  EXPECT_THROW(store.SortNumeric(kColumnCount, true), std::out_of_range);
}

TEST(ResultStoreTest, RemoveDuplicatesKeepsTheLowestNumberWhateverTheOrder) {
  // Sorted so that the later copies come first; the first added stays,
  // with its own tick, and numbers tie only after deletions (the one
  // higher up stays then).
  ResultStore store;
  for (const auto& [no, keyword] :
       std::vector<std::pair<const char*, const char*>>{{"12", "golf"},
                                                        {"3", "Golf"},
                                                        {"7", "GOLF "},
                                                        {"1,000", "tees"},
                                                        {"999", "tees"},
                                                        {"4", "putter"},
                                                        {"4", "putter"}})
    store.Add(Row(no, keyword));
  store.SetChecked(1, true);
  store.SetChecked(5, true);
  EXPECT_EQ(store.DuplicateRows(), (std::vector<int>{0, 2, 3, 6}));
  EXPECT_EQ(store.RemoveDuplicates(), 4);
  EXPECT_EQ(Column(store, kColNo), (Cells{"3", "999", "4"}));
  EXPECT_TRUE(store.Checked(0));
  EXPECT_FALSE(store.Checked(1));
  EXPECT_TRUE(store.Checked(2));
}

TEST(ResultStoreTest, RemoveDuplicatesKeepsTheFirstOfEachTrimmedCaseFoldedPhrase) {
  ResultStore store;
  const std::vector<std::pair<const char*, const char*>> rows = {
      {"1", "Golf Clubs"}, {"2", "golf clubs"}, {"3", "  GOLF CLUBS\t"}, {"4", "golf  clubs"},
      {"5", "caf\xe9"},    {"6", "CAF\xc9"},    {"7", "caf\xe9 "},       {"8", ""},
      {"9", " "},          {"10", "tees"}};
  for (const auto& [no, keyword] : rows) store.Add(Row(no, keyword));
  store.SetChecked(1, true);
  // Inner blanks count; only ASCII letters fold, whatever the locale, so
  // the 8-bit letters \xe9 and \xc9 stay apart.
  EXPECT_EQ(store.DuplicateRows(), (std::vector<int>{1, 2, 6, 8}));
  EXPECT_EQ(store.RemoveDuplicates(), 4);
  EXPECT_EQ(Column(store, kColNo), (Cells{"1", "4", "5", "6", "8", "10"}));
  EXPECT_FALSE(store.Checked(0)) << "the rows kept keep their own check boxes";
  EXPECT_EQ(store.RemoveDuplicates(), 0);
  EXPECT_TRUE(store.DuplicateRows().empty());
}

}  // namespace

namespace {

TEST(ResultStoreTest, EraseRowsAtRemovesScatteredRowsAndKeepsTheRest) {
  struct Case {
    std::vector<int> erase;
    Cells left;
  };
  const Case cases[] = {
      {{}, {"1", "2", "3", "4", "5"}}, {{0}, {"2", "3", "4", "5"}}, {{4}, {"1", "2", "3", "4"}},
      {{1, 3}, {"1", "3", "5"}},       {{0, 1, 2, 3, 4}, {}},
  };
  for (const auto& c : cases) {
    ResultStore store;
    for (const char* no : {"1", "2", "3", "4", "5"}) store.Add(Row(no, "k"));
    store.EraseRowsAt(c.erase);
    EXPECT_EQ(Column(store, kColNo), c.left);
  }
  ResultStore store;
  store.Add(Row("1", "k"));
  EXPECT_THROW(store.EraseRowsAt({0, 1}), std::out_of_range);
  EXPECT_EQ(store.Count(), 1) << "nothing erased when an index is out of range";
}

}  // namespace
