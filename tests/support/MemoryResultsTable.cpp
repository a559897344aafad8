#include "support/MemoryResultsTable.h"

#include <stdexcept>
#include <utility>

namespace quorvane {

namespace {
void CheckIndex(std::size_t rows, int row, int column) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows || column < 0 || column >= kColumnCount)
    throw std::out_of_range("results table cell out of range");
}
}  // namespace

int MemoryResultsTable::RowCount() const {
  return static_cast<int>(rows_.size());
}

void MemoryResultsTable::AppendRows(std::vector<ResultRow> rows) {
  for (ResultRow& row : rows) rows_.push_back(std::move(row.cells));
}

std::string MemoryResultsTable::Cell(int row, int column) const {
  CheckIndex(rows_.size(), row, column);
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void MemoryResultsTable::SetCell(int row, int column, const std::string& text) {
  CheckIndex(rows_.size(), row, column);
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

void MemoryResultsTable::Clear() {
  rows_.clear();
}

}  // namespace quorvane
