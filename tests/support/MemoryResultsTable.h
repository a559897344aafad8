#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/ResultsTable.h"

namespace quorvane {

// The results table as plain rows in memory, for logic tested without
// windows. The check boxes are not kept.
class MemoryResultsTable : public ResultsTable {
 public:
  using Row = std::array<std::string, kColumnCount>;

  int RowCount() const override;
  void AppendRows(std::vector<ResultRow> rows) override;
  std::string Cell(int row, int column) const override;
  void SetCell(int row, int column, const std::string& text) override;
  void Clear() override;

  const std::vector<Row>& Rows() const { return rows_; }

 private:
  std::vector<Row> rows_;
};

}  // namespace quorvane
