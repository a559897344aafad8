#pragma once

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "base/ResultRow.h"

namespace quorvane {

// The rows of the results table, in display order. Plain data: the window's
// model shows it and tells the view about changes. Row and column indexes
// out of range throw std::out_of_range.
class ResultStore {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  const ResultRow& Row(int row) const { return rows_.at(Index(row)); }
  const std::string& Cell(int row, int column) const;
  void SetCell(int row, int column, std::string text);
  bool Checked(int row) const { return Row(row).checked; }
  void SetChecked(int row, bool checked) { rows_.at(Index(row)).checked = checked; }
  void SetAllChecked(bool checked);

  void Add(ResultRow row) { rows_.push_back(std::move(row)); }
  void Append(std::vector<ResultRow> rows);
  void Clear() { rows_.clear(); }

  // Removes `count` rows starting at `first`.
  void EraseRows(int first, int count);
  // The runs of ticked rows as (first, last) pairs, the last run first, so
  // that erasing them in this order never shifts a run still to come.
  std::vector<std::pair<int, int>> CheckedRuns() const;
  // Deletes every ticked row; the others keep their order. The same result
  // as walking from the last row to the first and deleting each ticked one.
  void DeleteChecked();
  // Removes the rows at these indexes (ascending, no repeats) in one pass;
  // the others keep their order.
  void EraseRowsAt(const std::vector<int>& rows);

  // The rows whose phrase equals an earlier row's phrase once blanks
  // (spaces and control bytes) are trimmed from both ends and ASCII letters
  // are folded to lower case; other bytes compare as they are, whatever
  // the locale. In table order.
  std::vector<int> DuplicateRows() const;
  // Deletes those rows; the first of each phrase stays. Returns how many
  // went.
  int RemoveDuplicates();

  // Sorts by a numeric column (every column but Keywords): CompareCells of
  // the two cells, inverted when descending.
  void SortNumeric(int column, bool ascending);

  // Sorts by precomputed keys, keys[i] belonging to row i: `compare(a, b)`
  // is negative, zero or positive like CompareCells, and descending order
  // inverts its sign. The sort is stable in both directions: rows whose keys
  // compare equal keep their relative order.
  template <class Key, class Compare>
  void SortByKeys(const std::vector<Key>& keys, Compare compare, bool ascending) {
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const int c = compare(keys[a], keys[b]);
      return ascending ? c < 0 : c > 0;
    });
    Reorder(order);
  }

 private:
  std::size_t Index(int row) const;
  static std::size_t Column(int column);
  void Reorder(const std::vector<std::size_t>& order);

  std::vector<ResultRow> rows_;
};

}  // namespace quorvane
