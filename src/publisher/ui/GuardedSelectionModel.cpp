#include "publisher/ui/GuardedSelectionModel.h"

namespace quorvane {

GuardedSelectionModel::GuardedSelectionModel(QAbstractItemModel* model,
                                             std::function<bool()> allowChange, QObject* parent)
    : QItemSelectionModel(model, parent), allowChange_(std::move(allowChange)) {}

void GuardedSelectionModel::setCurrentIndex(const QModelIndex& index,
                                            QItemSelectionModel::SelectionFlags command) {
  // The keys move from the current row: it stays where the selection is.
  if (!allowChange_()) return;
  QItemSelectionModel::setCurrentIndex(index, command);
}

void GuardedSelectionModel::clearCurrentIndex() {
  if (!allowChange_()) return;
  QItemSelectionModel::clearCurrentIndex();
}

void GuardedSelectionModel::select(const QModelIndex& index,
                                   QItemSelectionModel::SelectionFlags command) {
  if (command != NoUpdate && !allowChange_()) return;
  QItemSelectionModel::select(index, command);
}

void GuardedSelectionModel::select(const QItemSelection& selection,
                                   QItemSelectionModel::SelectionFlags command) {
  if (command != NoUpdate && !allowChange_()) return;
  QItemSelectionModel::select(selection, command);
}

}  // namespace quorvane
