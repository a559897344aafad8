#include "app/ui/SortArrow.h"

#include <QHeaderView>
#include <algorithm>

#include "app/ui/ResultsModel.h"
#include "base/CompareCells.h"
#include "base/ResultRow.h"
#include "base/ui/LocalText.h"

namespace quorvane {

SortArrow::SortArrow(QHeaderView& header, ResultsModel& model)
    : QObject(&header), header_(header), model_(model) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
  connect(&model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { CheckOrder(first, last); });
  connect(
      &model_, &QAbstractItemModel::dataChanged, this,
      [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
        if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)) return;
        if (column_ < topLeft.column() || column_ > bottomRight.column()) return;
        // A changed cell must still fit between its neighbours.
        CheckOrder(topLeft.row(), bottomRight.row() + 1);
      });
}

void SortArrow::Show(int column, bool ascending) {
  column_ = column;
  ascending_ = ascending;
  header_.setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  header_.setSortIndicatorShown(true);
}

void SortArrow::Restore(int column, bool ascending) {
  if (column < 0) {
    column_ = -1;
    header_.setSortIndicatorShown(false);
    return;
  }
  Show(column, ascending);
  CheckOrder(0, model_.rowCount() - 1);
}

bool SortArrow::Shown() const {
  return header_.isSortIndicatorShown();
}

void SortArrow::CheckOrder(int first, int last) {
  if (!Shown() || column_ < 0) return;
  const int rows = model_.rowCount();
  // Stops at the first pair out of order: an unsorted import is told at
  // once.
  for (int row = std::max(first, 1); row <= std::min(last, rows - 1); ++row) {
    if (!InOrder(row - 1, row)) {
      header_.setSortIndicatorShown(false);
      return;
    }
  }
}

bool SortArrow::InOrder(int upperRow, int lowerRow) const {
  const ResultStore& store = model_.Store();
  const std::string& upper = store.Cell(model_.StoreRow(upperRow), column_);
  const std::string& lower = store.Cell(model_.StoreRow(lowerRow), column_);
  int order = 0;
  if (column_ == kColKeywords) {
    order = collator_.compare(FromLocal(upper).toCaseFolded(), FromLocal(lower).toCaseFolded());
  } else {
    order = CompareCells(upper, lower);
  }
  return ascending_ ? order <= 0 : order >= 0;
}

}  // namespace quorvane
