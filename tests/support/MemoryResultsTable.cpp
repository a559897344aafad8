#include "support/MemoryResultsTable.h"

#include <stdexcept>

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

void MemoryResultsTable::AddResultRow(const std::string& no, const std::string& keyword,
                                      const std::string& searches) {
  rows_.push_back(Row{no, keyword, searches, "", "", ""});
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

void MemoryResultsTable::ShowItemCount() {
  itemCountText_ = std::to_string(rows_.size()) + " items listed";
  ++itemCountRefreshes_;
}

void MemoryResultsTable::SetHeaderSortEnabled(bool enabled) {
  headerSortEnabled_ = enabled;
}

}  // namespace quorvane
