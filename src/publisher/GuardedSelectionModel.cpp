#include "publisher/GuardedSelectionModel.h"

GuardedSelectionModel::GuardedSelectionModel(QAbstractItemModel* model,
                                             std::function<bool()> allowChange, QObject* parent)
    : QItemSelectionModel(model, parent), allowChange_(std::move(allowChange)) {}

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
