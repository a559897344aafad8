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

  // Moves `count` rows starting at `first` out of the table and returns
  // them; the rows after them close up.
  std::vector<ResultRow> TakeRows(int first, int count);
  // Moves the rows at these indexes (ascending, no repeats) out of the
  // table in one pass and returns them in that order; the others keep their
  // order. Nothing moves when an index is out of range.
  std::vector<ResultRow> TakeRowsAt(const std::vector<int>& rows);
  // The inverse of TakeRowsAt: puts `taken` back so that taken[i] is at
  // index rows[i] again (`rows` ascending, as TakeRowsAt had them).
  void InsertRowsAt(const std::vector<int>& rows, std::vector<ResultRow> taken);
  // Removes the rows at these indexes (ascending, no repeats).
  void EraseRowsAt(const std::vector<int>& rows) { TakeRowsAt(rows); }
  // Exchanges a cell's text with `text`.
  void SwapCell(int row, int column, std::string& text);

  // The rows whose phrase equals another row's phrase once blanks (spaces
  // and control bytes) are trimmed from both ends and ASCII letters are
  // folded to lower case; other bytes compare as they are, whatever the
  // locale. Of each phrase the row with the lowest No (the first added)
  // stays, whatever the current order; among equal numbers the one higher
  // up. In table order.
  std::vector<int> DuplicateRows() const;
  // Deletes those rows. Returns how many went.
  int RemoveDuplicates();

  // Sorts by a numeric column (every column but Keywords): CompareCells of
  // the two cells, inverted when descending. Returns the order applied (see
  // ApplyOrder).
  std::vector<std::size_t> SortNumeric(int column, bool ascending);

  // Sorts by precomputed keys, keys[i] belonging to row i: `compare(a, b)`
  // is negative, zero or positive like CompareCells, and descending order
  // inverts its sign. The sort is stable in both directions: rows whose keys
  // compare equal keep their relative order. Returns the order applied.
  template <class Key, class Compare>
  std::vector<std::size_t> SortByKeys(const std::vector<Key>& keys, Compare compare,
                                      bool ascending) {
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const int c = compare(keys[a], keys[b]);
      return ascending ? c < 0 : c > 0;
    });
    ApplyOrder(order);
    return order;
  }

  // Reorders the rows so that the row at order[i] comes to index i;
  // `order` is a permutation of the row indexes. RevertOrder puts them
  // back where they were before ApplyOrder(order).
  void ApplyOrder(const std::vector<std::size_t>& order);
  void RevertOrder(const std::vector<std::size_t>& order);

 private:
  std::size_t Index(int row) const;
  static std::size_t Column(int column);
  void CheckOrder(const std::vector<std::size_t>& order) const;
  // Gives back the room of rows taken out when it is a good part of it.
  void ShrinkIfSparse();

  std::vector<ResultRow> rows_;
};

}  // namespace quorvane
