#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "app/ResultStore.h"
#include "base/ResultsTable.h"

namespace quorvane {

// The results table's rows as a Qt model: six text columns, a check box in
// the first. It is the table the other subsystems fill and read. Cells are
// 8-bit and converted with the local 8-bit codec only for display. Bulk
// changes (import, sort, delete, clear) are announced as one reset or as a
// few row ranges, never row by row.
class ResultsModel final : public QAbstractTableModel, public ResultsTable {
  Q_OBJECT

 public:
  explicit ResultsModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The table for the other subsystems.
  int RowCount() const override { return store_.Count(); }
  void AppendRows(std::vector<ResultRow> rows) override;
  std::string Cell(int row, int column) const override { return store_.Cell(row, column); }
  void SetCell(int row, int column, const std::string& text) override;
  void Clear() override;

  const ResultStore& Store() const { return store_; }
  bool Checked(int row) const { return store_.Checked(row); }
  void SetChecked(int row, bool checked);
  void SetAllChecked(bool checked);
  void DeleteChecked();
  // Deletes the rows whose phrase repeats an earlier row's (see
  // ResultStore::RemoveDuplicates) in one reset; returns how many went.
  int RemoveDuplicates();

  // Reorders all rows by one column: Keywords by the user's locale
  // collation ignoring letter case, every other column by CompareCells.
  // Stable: rows that compare equal keep their order.
  void Sort(int column, bool ascending);

 private:
  // True for a valid index of this model that names an existing cell.
  bool Holds(const QModelIndex& index) const;

  ResultStore store_;
};

}  // namespace quorvane
