#include "app/ui/ChosenRows.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "app/ui/ResultsModel.h"

namespace quorvane {

std::vector<int> HighlightedRows(const QTableView& table, const ResultsModel& model) {
  const QItemSelectionModel* selection = table.selectionModel();
  if (selection == nullptr) return {};
  // Ranges rather than indexes: a selection of many rows is a few ranges.
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selection->selection()) {
    if (!range.isValid() || range.model() != &model) continue;
    for (int row = range.top(); row <= range.bottom() && row < model.ShownCount(); ++row)
      rows.push_back(model.StoreRow(row));
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::vector<int> TickedRows(const ResultsModel& model) {
  std::vector<int> ticked = model.ShownRows();
  std::erase_if(ticked, [&model](int row) { return !model.Checked(row); });
  return ticked;
}

std::vector<int> ChosenRows(const QTableView& table, const ResultsModel& model) {
  std::vector<int> ticked = TickedRows(model);
  if (!ticked.empty()) return ticked;
  return HighlightedRows(table, model);
}

}  // namespace quorvane
