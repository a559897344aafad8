// The undo steps of the results table on a plain store: each kind of step
// undone and redone, back and forth, gives the table exactly as it was
// before and after, rows, numbers and ticks.
#include "app/TableEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

struct Snapshot {
  std::vector<std::array<std::string, kColumnCount>> cells;
  std::vector<bool> ticks;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const ResultStore& store) {
  Snapshot s;
  for (int i = 0; i < store.Count(); ++i) {
    s.cells.push_back(store.Row(i).cells);
    s.ticks.push_back(store.Checked(i));
  }
  return s;
}

ResultRow Row(const std::string& no, const std::string& keyword, const std::string& google = {}) {
  return ResultRow{{no, keyword, {}, google, {}, {}}, false};
}

// Five rows, two of them ticked.
ResultStore Start() {
  ResultStore store;
  for (int i = 1; i <= 5; ++i)
    store.Add(Row(std::to_string(i), "k" + std::to_string(i), std::to_string(i * 100)));
  store.SetChecked(1, true);
  store.SetChecked(4, true);
  return store;
}

struct Case {
  const char* name;
  // Changes the store as a command would and returns the step it recorded.
  std::function<TableEdit(ResultStore&)> make;
  std::string description;
};

TEST(TableEditTest, EveryKindOfStepGoesBackAndForthExactly) {
  const std::vector<Case> cases = {
      {"append",
       [](ResultStore& s) {
         s.Append({Row("6", "new"), Row("7", "newer")});
         return TableEdit::Appended(2);
       },
       "Add 2 rows"},
      {"remove scattered",
       [](ResultStore& s) {
         const std::vector<int> at = {0, 1, 4};
         return TableEdit::Removed(at, s.TakeRowsAt(at));
       },
       "Delete 3 rows"},
      {"remove all",
       [](ResultStore& s) {
         const std::vector<int> at = {0, 1, 2, 3, 4};
         return TableEdit::Removed(at, s.TakeRowsAt(at));
       },
       "Delete 5 rows"},
      {"remove one", [](ResultStore& s) { return TableEdit::Removed({2}, s.TakeRowsAt({2})); },
       "Delete 1 row"},
      {"reorder",
       [](ResultStore& s) {
         return TableEdit::Reordered(s.SortNumeric(kColGoogle, false), "Sort by Google");
       },
       "Sort by Google"},
      {"cells, one written twice",
       [](ResultStore& s) {
         TableEdit edit = TableEdit::CellWritten(0, kColGoogle, s.Cell(0, kColGoogle));
         s.SetCell(0, kColGoogle, "first");
         edit.ThenCell(0, kColYahoo, s.Cell(0, kColYahoo));
         s.SetCell(0, kColYahoo, "y");
         edit.ThenCell(3, kColGoogle, s.Cell(3, kColGoogle));
         s.SetCell(3, kColGoogle, "");
         edit.ThenCell(0, kColGoogle, s.Cell(0, kColGoogle));
         s.SetCell(0, kColGoogle, "second");
         return edit;
       },
       "Change 3 rows"},
      {"a named run of appends",
       [](ResultStore& s) {
         TableEdit step;
         step.SetName("Gather Keywords");
         for (int i = 0; i < 3; ++i) {
           s.Add(Row(std::to_string(6 + i), "g"));
           step.Then(TableEdit::Appended(1));
         }
         return step;
       },
       "Gather Keywords (3 rows)"},
      {"mixed: append, then delete, then cells",
       [](ResultStore& s) {
         TableEdit step = TableEdit::Appended(1);
         s.Add(Row("6", "x"));
         step.Then(TableEdit::Removed({0}, s.TakeRowsAt({0})));
         step.Then(TableEdit::CellWritten(4, kColMsn, s.Cell(4, kColMsn)));
         s.SetCell(4, kColMsn, "m");
         return step;
       },
       "Change 3 rows"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResultStore store = Start();
    const Snapshot before = Take(store);
    TableEdit edit = c.make(store);
    const Snapshot after = Take(store);
    ASSERT_NE(before, after);
    EXPECT_EQ(edit.Description(), c.description);
    for (int round = 0; round < 2; ++round) {
      edit.Undo(store);
      EXPECT_EQ(Take(store), before) << "undo, round " << round;
      edit.Redo(store);
      EXPECT_EQ(Take(store), after) << "redo, round " << round;
    }
  }
}

TEST(TableEditTest, WhatStepsChangeAndHowTheyAreNamed) {
  ResultStore store = Start();
  EXPECT_FALSE(TableEdit::Reordered({0, 1, 2, 3, 4}, "Sort by No").ChangesRows());
  EXPECT_TRUE(TableEdit::Reordered({0, 1, 2, 3, 4}, "Sort by No").MovesRows());
  EXPECT_TRUE(TableEdit::CellWritten(0, kColGoogle, "").ChangesRows());
  EXPECT_FALSE(TableEdit::CellWritten(0, kColGoogle, "").MovesRows());
  EXPECT_TRUE(TableEdit::Appended(0).Empty());
  EXPECT_EQ(TableEdit::Appended(12345).Description(), "Add 12,345 rows");
  TableEdit run = TableEdit::CellWritten(0, kColGoogle, "");
  run.SetName("Gather Data");
  for (const int c : {kColYahoo, kColMsn}) run.ThenCell(0, c, "");
  for (const int c : {kColGoogle, kColYahoo}) run.ThenCell(1, c, "");
  EXPECT_EQ(run.Description(), "Gather Data (2 rows)") << "rows, not cells";
  EXPECT_THROW(TableEdit::Removed({0, 1}, {}), std::invalid_argument);
}

// Undoing a Delete All gives the rows back without copying them: the
// strings' buffers are the very ones the table had.
TEST(TableEditTest, RowsMoveThroughAStepWithoutBeingCopied) {
  ResultStore store;
  for (int i = 0; i < 100; ++i) store.Add(Row(std::to_string(i), std::string(100, 'k')));
  const char* buffer = store.Cell(42, kColKeywords).data();
  std::vector<int> all(100);
  for (int i = 0; i < 100; ++i) all[static_cast<std::size_t>(i)] = i;
  TableEdit edit = TableEdit::Removed(all, store.TakeRowsAt(all));
  edit.Undo(store);
  EXPECT_EQ(store.Cell(42, kColKeywords).data(), buffer);
  edit.Redo(store);
  edit.Undo(store);
  EXPECT_EQ(store.Cell(42, kColKeywords).data(), buffer);
}

}  // namespace
