#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/ResultsTable.h"

namespace quorvane {

// The results table as plain rows in memory, for logic tested without
// windows. It records what the window would show.
class MemoryResultsTable : public ResultsTable {
 public:
  using Row = std::array<std::string, kColumnCount>;

  int RowCount() const override;
  void AddResultRow(const std::string& no, const std::string& keyword,
                    const std::string& searches) override;
  std::string Cell(int row, int column) const override;
  void SetCell(int row, int column, const std::string& text) override;
  void Clear() override;
  void ShowItemCount() override;
  void SetHeaderSortEnabled(bool enabled) override;

  const std::vector<Row>& Rows() const { return rows_; }
  // Text of the item-count panel ("0 item listed" until the first refresh).
  const std::string& ItemCountText() const { return itemCountText_; }
  int ItemCountRefreshes() const { return itemCountRefreshes_; }
  bool HeaderSortEnabled() const { return headerSortEnabled_; }

 private:
  std::vector<Row> rows_;
  std::string itemCountText_ = "0 item listed";
  int itemCountRefreshes_ = 0;
  bool headerSortEnabled_ = true;
};

}  // namespace quorvane
