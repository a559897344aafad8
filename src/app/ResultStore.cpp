#include "app/ResultStore.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>

#include "base/AsciiText.h"

#include "base/CompareCells.h"

namespace quorvane {

std::size_t ResultStore::Index(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
    throw std::out_of_range("results table row " + std::to_string(row) + " does not exist");
  return static_cast<std::size_t>(row);
}

std::size_t ResultStore::Column(int column) {
  if (column < 0 || column >= kColumnCount)
    throw std::out_of_range("results table column " + std::to_string(column) + " does not exist");
  return static_cast<std::size_t>(column);
}

const std::string& ResultStore::Cell(int row, int column) const {
  return rows_[Index(row)].cells[Column(column)];
}

void ResultStore::SetCell(int row, int column, std::string text) {
  rows_[Index(row)].cells[Column(column)] = std::move(text);
}

void ResultStore::SetAllChecked(bool checked) {
  for (auto& row : rows_) row.checked = checked;
}

void ResultStore::Append(std::vector<ResultRow> rows) {
  // A big table arrives whole: taken over, not copied row by row.
  if (rows_.empty()) {
    rows_ = std::move(rows);
    return;
  }
  // Room grows by half at least, so that rows added one at a time do not
  // move the whole table each time.
  const std::size_t needed = rows_.size() + rows.size();
  if (needed > rows_.capacity()) rows_.reserve(std::max(needed, rows_.capacity() * 3 / 2));
  std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
}

std::vector<ResultRow> ResultStore::TakeRows(int first, int count) {
  if (count <= 0) return {};
  const std::size_t begin = Index(first);
  const std::size_t end = Index(first + count - 1) + 1;
  const auto from = rows_.begin() + static_cast<std::ptrdiff_t>(begin);
  const auto to = rows_.begin() + static_cast<std::ptrdiff_t>(end);
  std::vector<ResultRow> taken(std::make_move_iterator(from), std::make_move_iterator(to));
  rows_.erase(from, to);
  ShrinkIfSparse();
  return taken;
}

std::vector<ResultRow> ResultStore::TakeRowsAt(const std::vector<int>& rows) {
  if (rows.empty()) return {};
  for (const int row : rows) Index(row);  // all or nothing: check before moving any row
  if (rows.size() == rows_.size()) {
    // Every row: the whole table changes hands without a move per row.
    std::vector<ResultRow> all;
    all.swap(rows_);
    return all;
  }
  std::vector<ResultRow> taken;
  taken.reserve(rows.size());
  std::size_t write = static_cast<std::size_t>(rows.front());
  std::size_t next = 0;
  for (std::size_t read = write; read < rows_.size(); ++read) {
    if (next < rows.size() && read == static_cast<std::size_t>(rows[next])) {
      ++next;
      taken.push_back(std::move(rows_[read]));
      continue;
    }
    if (write != read) rows_[write] = std::move(rows_[read]);
    ++write;
  }
  rows_.resize(write);
  ShrinkIfSparse();
  return taken;
}

void ResultStore::ShrinkIfSparse() {
  // The rows taken out live on elsewhere (an undo step holds them); the
  // room they left would otherwise stay with the table for good.
  if (rows_.capacity() > 1024 && rows_.size() * 4 < rows_.capacity() * 3) rows_.shrink_to_fit();
}

void ResultStore::InsertRowsAt(const std::vector<int>& rows, std::vector<ResultRow> taken) {
  if (rows.size() != taken.size())
    throw std::invalid_argument("results table: rows to insert and their places differ in number");
  if (rows.empty()) return;
  const std::size_t total = rows_.size() + taken.size();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] < 0 || static_cast<std::size_t>(rows[i]) >= total ||
        (i > 0 && rows[i] <= rows[i - 1]))
      throw std::out_of_range("results table row " + std::to_string(rows[i]) +
                              " cannot be put back");
  }
  if (rows_.empty()) {
    rows_ = std::move(taken);
    return;
  }
  // One pass from the end: each row moves once, into a table grown in place.
  std::size_t old = rows_.size();
  rows_.resize(total);
  std::size_t next = rows.size();
  for (std::size_t write = total; write-- > 0;) {
    if (next > 0 && static_cast<std::size_t>(rows[next - 1]) == write) {
      rows_[write] = std::move(taken[--next]);
    } else {
      rows_[write] = std::move(rows_[--old]);
    }
    if (next == 0) break;  // the rows below stand where they stood
  }
}

void ResultStore::SwapCell(int row, int column, std::string& text) {
  rows_[Index(row)].cells[Column(column)].swap(text);
}

namespace {

// Marks the rows that repeat a phrase: one pass over the table with a hash
// map from the folded phrase to the row that stays so far.
std::vector<char> DuplicateMarks(const std::vector<ResultRow>& rows) {
  std::vector<char> marks(rows.size(), 0);
  struct Kept {
    std::size_t row;
    std::int32_t number;
  };
  std::unordered_map<std::string, Kept> kept;
  kept.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string key = LowerAscii(Trim(rows[i].cells[kColKeywords], kControlsAndSpace));
    const std::int32_t number = CellNumber(rows[i].cells[kColNo]);
    const auto [at, first] = kept.try_emplace(std::move(key), Kept{i, number});
    if (first) continue;
    // Rows come in table order, so on equal numbers the one kept is higher up.
    if (number < at->second.number) {
      marks[at->second.row] = 1;
      at->second = Kept{i, number};
    } else {
      marks[i] = 1;
    }
  }
  return marks;
}

}  // namespace

std::vector<int> ResultStore::DuplicateRows() const {
  const std::vector<char> marks = DuplicateMarks(rows_);
  std::vector<int> duplicates;
  for (std::size_t i = 0; i < marks.size(); ++i)
    if (marks[i] != 0) duplicates.push_back(static_cast<int>(i));
  return duplicates;
}

int ResultStore::RemoveDuplicates() {
  const std::vector<int> duplicates = DuplicateRows();
  EraseRowsAt(duplicates);
  return static_cast<int>(duplicates.size());
}

std::vector<std::size_t> ResultStore::SortNumeric(int column, bool ascending) {
  const std::size_t c = Column(column);
  std::vector<std::int32_t> keys;
  keys.reserve(rows_.size());
  for (const auto& row : rows_) keys.push_back(CellNumber(row.cells[c]));
  return SortByKeys(
      keys, [](std::int32_t a, std::int32_t b) { return (a > b) - (a < b); }, ascending);
}

void ResultStore::CheckOrder(const std::vector<std::size_t>& order) const {
  if (order.size() != rows_.size())
    throw std::invalid_argument("results table: an order for another number of rows");
}

void ResultStore::ApplyOrder(const std::vector<std::size_t>& order) {
  CheckOrder(order);
  std::vector<ResultRow> sorted;
  sorted.reserve(rows_.size());
  for (const std::size_t i : order) sorted.push_back(std::move(rows_.at(i)));
  rows_ = std::move(sorted);
}

void ResultStore::RevertOrder(const std::vector<std::size_t>& order) {
  CheckOrder(order);
  std::vector<ResultRow> before(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) before.at(order[i]) = std::move(rows_[i]);
  rows_ = std::move(before);
}

}  // namespace quorvane
