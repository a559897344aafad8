#include "base/ResultsTable.h"

#include <utility>

namespace quorvane {

void ResultsTable::AppendKeywords(const std::vector<NewKeyword>& keywords) {
  if (keywords.empty()) return;
  const int before = RowCount();
  std::vector<ResultRow> rows;
  rows.reserve(keywords.size());
  for (const NewKeyword& k : keywords) {
    const int number = before + static_cast<int>(rows.size()) + 1;
    rows.push_back(ResultRow{{std::to_string(number), k.keyword, k.searches, {}, {}, {}}, false});
  }
  AppendRows(std::move(rows));
}

void ResultsTable::AddResultRow(const std::string& no, const std::string& keyword,
                                const std::string& searches) {
  std::vector<ResultRow> row;
  row.push_back(ResultRow{{no, keyword, searches, {}, {}, {}}, false});
  AppendRows(std::move(row));
}

}  // namespace quorvane
