#include "base/ResultsTable.h"

#include <utility>

namespace quorvane {

void ResultsTable::AppendKeywords(const std::vector<NewKeyword>& keywords) {
  if (keywords.empty()) return;
  std::vector<ResultRow> rows;
  rows.reserve(keywords.size());
  for (const NewKeyword& k : keywords)
    rows.push_back(ResultRow{{std::string(), k.keyword, k.searches, {}, {}, {}}, false});
  AppendNumbered(std::move(rows));
}

void ResultsTable::AppendNumbered(std::vector<ResultRow> rows) {
  if (rows.empty()) return;
  int number = RowCount();
  for (ResultRow& row : rows) {
    row.cells[kColNo] = std::to_string(++number);
    row.checked = false;
  }
  AppendRows(std::move(rows));
}

}  // namespace quorvane
