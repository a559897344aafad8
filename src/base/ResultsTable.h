#pragma once

#include <string>
#include <vector>

#include "base/ResultRow.h"

namespace quorvane {

// The operations the results table offers to the other subsystems
// (keyword entry, suggestion gathering, result counts, export). Cells are
// 8-bit text. The window's model implements it; tests may use a plain
// in-memory implementation.
class ResultsTable {
 public:
  virtual ~ResultsTable() = default;

  virtual int RowCount() const = 0;
  // Appends these rows as they are, in one step. The table is not re-sorted.
  virtual void AppendRows(std::vector<ResultRow> rows) = 0;
  virtual std::string Cell(int row, int column) const = 0;
  virtual void SetCell(int row, int column, const std::string& text) = 0;
  virtual void Clear() = 0;

  // Appends one row per phrase, numbered on from the rows already there
  // (the first new row's No is the row count + 1), with empty Google,
  // Yahoo and Msn cells and the check box clear. Every command that adds
  // phrases numbers them here.
  void AppendKeywords(const std::vector<NewKeyword>& keywords);
  // Appends whole rows (a reopened table, a pasted one): their No cells
  // are replaced by the numbers on from the largest number in the table
  // (after a delete the row count may be one a row already has), their
  // other cells kept, and their check boxes cleared.
  void AppendNumbered(std::vector<ResultRow> rows);
};

}  // namespace quorvane
