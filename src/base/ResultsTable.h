#pragma once

#include <string>

namespace quorvane {

// Column indexes of the results table.
enum ResultColumn : int {
  kColNo = 0,
  kColKeywords = 1,
  kColSearches = 2,
  kColGoogle = 3,
  kColYahoo = 4,
  kColMsn = 5,
  kColumnCount = 6
};

// The operations the results table offers to the other subsystems
// (keyword entry, suggestion gathering, result counts, export). Cells are
// 8-bit text. The main window implements it over its table; tests may use
// a plain in-memory implementation.
class ResultsTable {
 public:
  virtual ~ResultsTable() = default;

  virtual int RowCount() const = 0;
  // Appends a row with these three cells, empty Google/Yahoo/Msn cells and
  // the check box clear. The table is not re-sorted.
  virtual void AddResultRow(const std::string& no, const std::string& keyword,
                            const std::string& searches) = 0;
  virtual std::string Cell(int row, int column) const = 0;
  virtual void SetCell(int row, int column, const std::string& text) = 0;
  virtual void Clear() = 0;
  // Writes the row count followed by " items listed" into SecondStatusPanel.
  virtual void ShowItemCount() = 0;
  // While off, a click on a column header does nothing.
  virtual void SetHeaderSortEnabled(bool enabled) = 0;
};

}  // namespace quorvane
