#include "app/ResultStore.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <unordered_set>

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

void ResultStore::EraseRows(int first, int count) {
  if (count <= 0) return;
  const std::size_t begin = Index(first);
  const std::size_t end = Index(first + count - 1) + 1;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(begin),
              rows_.begin() + static_cast<std::ptrdiff_t>(end));
}

std::vector<std::pair<int, int>> ResultStore::CheckedRuns() const {
  std::vector<std::pair<int, int>> runs;
  for (int row = Count() - 1; row >= 0;) {
    if (!rows_[static_cast<std::size_t>(row)].checked) {
      --row;
      continue;
    }
    const int last = row;
    while (row >= 0 && rows_[static_cast<std::size_t>(row)].checked) --row;
    runs.emplace_back(row + 1, last);
  }
  return runs;
}

void ResultStore::DeleteChecked() {
  std::erase_if(rows_, [](const ResultRow& row) { return row.checked; });
}

namespace {

// Marks the rows whose folded phrase was seen before; one pass over the
// table with a hash set.
std::vector<char> DuplicateMarks(const std::vector<ResultRow>& rows) {
  std::vector<char> marks(rows.size(), 0);
  std::unordered_set<std::string> seen;
  seen.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string key = LowerAscii(Trim(rows[i].cells[kColKeywords], kControlsAndSpace));
    if (!seen.insert(std::move(key)).second) marks[i] = 1;
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
  const std::vector<char> marks = DuplicateMarks(rows_);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (marks[i] != 0) continue;
    if (kept != i) rows_[kept] = std::move(rows_[i]);
    ++kept;
  }
  const int removed = static_cast<int>(rows_.size() - kept);
  rows_.resize(kept);
  return removed;
}

void ResultStore::EraseRowsAt(const std::vector<int>& rows) {
  if (rows.empty()) return;
  for (const int row : rows) Index(row);  // all or nothing: check before moving any row
  std::size_t write = static_cast<std::size_t>(rows.front());
  std::size_t next = 0;
  for (std::size_t read = write; read < rows_.size(); ++read) {
    if (next < rows.size() && read == static_cast<std::size_t>(rows[next])) {
      ++next;
      continue;
    }
    if (write != read) rows_[write] = std::move(rows_[read]);
    ++write;
  }
  rows_.resize(write);
}

void ResultStore::SortNumeric(int column, bool ascending) {
  const std::size_t c = Column(column);
  std::vector<std::int32_t> keys;
  keys.reserve(rows_.size());
  for (const auto& row : rows_) keys.push_back(CellNumber(row.cells[c]));
  SortByKeys(
      keys, [](std::int32_t a, std::int32_t b) { return (a > b) - (a < b); }, ascending);
}

void ResultStore::Reorder(const std::vector<std::size_t>& order) {
  std::vector<ResultRow> sorted;
  sorted.reserve(rows_.size());
  for (const std::size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
}

}  // namespace quorvane
