#include "base/ResultsTable.h"

#include <algorithm>
#include <utility>

#include "base/CompareCells.h"

namespace quorvane {

namespace {

// Numbers rows on from `last`.
void Number(std::vector<ResultRow>& rows, long long last) {
  for (ResultRow& row : rows) {
    row.cells[kColNo] = std::to_string(++last);
    row.checked = false;
  }
}

}  // namespace

void ResultsTable::AppendKeywords(const std::vector<NewKeyword>& keywords) {
  if (keywords.empty()) return;
  std::vector<ResultRow> rows;
  rows.reserve(keywords.size());
  for (const NewKeyword& k : keywords)
    rows.push_back(ResultRow{{std::string(), k.keyword, k.searches, {}, {}, {}}, false});
  Number(rows, RowCount());
  AppendRows(std::move(rows));
}

void ResultsTable::AppendNumbered(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  long long largest = 0;
  for (int row = 0; row < RowCount(); ++row)
    largest = std::max<long long>(largest, CellNumber(Cell(row, kColNo)));
  Number(rows, largest);
  AppendRows(std::move(rows));
}

}  // namespace quorvane
