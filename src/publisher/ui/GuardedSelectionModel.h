#pragma once

#include <QItemSelectionModel>
#include <functional>

namespace quorvane {

// A selection model that asks before every change of the selection or of
// the current row and drops the ones it is refused, so a list can hold
// both still while work for the selected row runs.
class GuardedSelectionModel : public QItemSelectionModel {
  Q_OBJECT

 public:
  GuardedSelectionModel(QAbstractItemModel* model, std::function<bool()> allowChange,
                        QObject* parent = nullptr);

  void setCurrentIndex(const QModelIndex& index,
                       QItemSelectionModel::SelectionFlags command) override;
  void clearCurrentIndex() override;
  void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
  void select(const QItemSelection& selection,
              QItemSelectionModel::SelectionFlags command) override;

 private:
  std::function<bool()> allowChange_;
};

}  // namespace quorvane
