#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "app/KeywordFilter.h"
#include "app/ResultStore.h"
#include "app/TableEdit.h"
#include "base/ResultsTable.h"

class QMimeData;

namespace quorvane {

// The results table's rows as a Qt model: six text columns, a check box in
// the first. It is the table the other subsystems fill and read. Cells are
// 8-bit and converted with the local 8-bit codec only for display. Bulk
// changes (import, sort, delete, clear) are announced as one reset or as a
// few row ranges, never row by row.
//
// A filter may hide rows: they stay in the store, the view just does not see
// them. The model's own rows (view rows) are then the shown rows in store
// order; everything else here (the ResultsTable, Checked, SetChecked) uses
// store row indexes, so a run writing cells by index is not disturbed.
// Without a filter the two are the same and no map is kept.
//
// Files and text dropped on the table come through the model's drop
// interface, as copies; the model hands them to its DropTarget, which reads
// them in. Without a target the table takes no drop.
//
// Every change to the rows, whichever command makes it, passes through
// here (AppendRows, RemoveRows, SetCell, Sort) and is kept as a TableEdit
// for the model's EditSink (the undo history); changes between BeginStep
// and EndStep make one step. Ticks are no change of the rows and are not
// kept. Undo and Redo take a step back or make it again.
class ResultsModel final : public QAbstractTableModel, public ResultsTable {
  Q_OBJECT

 public:
  // Who keeps the steps.
  class EditSink {
   public:
    virtual ~EditSink() = default;
    // The first change of a step is about to be made: what the window
    // shows now is what the step's Undo brings back.
    virtual void StepStarts() = 0;
    // A step was made.
    virtual void StepMade(TableEdit edit) = 0;
    // The table as it is now is in a file.
    virtual void TableSaved() = 0;
  };

  // Who takes what is dropped on the table.
  class DropTarget {
   public:
    virtual ~DropTarget() = default;
    // Whether a drop of `data` would be taken now.
    virtual bool CanTakeDrop(const QMimeData& data) const = 0;
    virtual void TakeDrop(const QMimeData& data) = 0;
  };

  explicit ResultsModel(QObject* parent = nullptr);

  // The target must outlive the model or be unset first.
  void SetDropTarget(DropTarget* target) { dropTarget_ = target; }
  // The same for the sink; without one nothing is kept.
  void SetEditSink(EditSink* sink) { sink_ = sink; }

  // The changes until the matching EndStep make one step, named `name` in
  // the history ("Gather Data"). Calls nest; the outermost name counts.
  void BeginStep(const std::string& name);
  void EndStep();
  // The table as it is now is in a file: it was just saved, or opened
  // from one into an empty table.
  void MarkSaved() {
    if (sink_ != nullptr) sink_->TableSaved();
  }
  // True while a step is open and has changes in it.
  bool StepHoldsChanges() const { return stepDepth_ > 0 && !step_.Empty(); }
  // Takes a step back, or makes it again, with the view told.
  void Undo(TableEdit& edit);
  void Redo(TableEdit& edit);
  // Goes up whenever rows are removed or reordered (appends and written
  // cells leave it), so that a reader walking the rows by index in several
  // goes knows when to start again.
  std::uint64_t OrderRevision() const { return orderRevision_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  // The table for the other subsystems.
  int RowCount() const override { return store_.Count(); }
  void AppendRows(std::vector<ResultRow> rows) override;
  std::string Cell(int row, int column) const override { return store_.Cell(row, column); }
  void SetCell(int row, int column, const std::string& text) override;
  void Clear() override;

  const ResultStore& Store() const { return store_; }
  bool Checked(int row) const { return store_.Checked(row); }
  void SetChecked(int row, bool checked);
  // While a filter is active these act on the shown rows only.
  void SetAllChecked(bool checked);
  void DeleteChecked();
  // Deletes these store rows (ascending, no repeats).
  void RemoveRows(const std::vector<int>& rows);
  // Deletes the rows whose phrase repeats another row's (see
  // ResultStore::DuplicateRows); returns how many went.
  int RemoveDuplicates();

  // Shows only the rows whose Keywords cell the filter text matches; an
  // empty filter (no words) shows every row. Rows appended later are shown
  // only if they match.
  void SetFilter(const std::string& text);
  bool FilterActive() const { return !filter_.Empty(); }
  // The store rows the view shows, in table order: every row when no filter
  // is active.
  std::vector<int> ShownRows() const;
  int ShownCount() const {
    return FilterActive() ? static_cast<int>(shown_.size()) : store_.Count();
  }
  // The store row of a view row, and the view row of a store row (-1 when it
  // is hidden).
  int StoreRow(int viewRow) const;
  int ViewRow(int storeRow) const;
  // A copy of the shown rows, for writing them out.
  ResultStore ShownStore() const;

  // Reorders all rows by one column: Keywords by the user's locale
  // collation ignoring letter case, every other column by CompareCells.
  // Stable: rows that compare equal keep their order.
  void Sort(int column, bool ascending);

 signals:
  // The rows, a cell or a tick changed (also through Undo and Redo).
  void TableChanged();

 private:
  // True for a valid index of this model that names an existing cell.
  bool Holds(const QModelIndex& index) const;
  // Recomputes shown_ from the store and the filter (no announcement).
  void Refilter();
  // Before a change that is kept: the sink hears of the step's start.
  void ChangeBegins();
  // Keeps a change made: in the open step, or as a step of its own.
  void Keep(TableEdit edit);
  // Undo or Redo of a step, with the view told.
  void Apply(TableEdit& edit, void (TableEdit::*direction)(ResultStore&));

  ResultStore store_;
  KeywordFilter filter_;
  std::vector<int> shown_;  // store rows shown, ascending; used only while a filter is active
  DropTarget* dropTarget_ = nullptr;
  EditSink* sink_ = nullptr;
  TableEdit step_;  // the changes of the open step
  int stepDepth_ = 0;
  bool stepStarted_ = false;  // the sink has heard of the open step's start
  std::uint64_t orderRevision_ = 0;
};

}  // namespace quorvane
