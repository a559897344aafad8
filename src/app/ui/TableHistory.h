#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <string>

#include "app/ui/ResultsModel.h"

namespace quorvane {

// The results table's undo history: each step the model makes becomes a
// command of one QUndoStack, named as the step ("Delete 5 rows"), which
// Undo takes back and Redo makes again through the model. A new step after
// an Undo drops the steps that could have been redone.
//
// It also knows whether the table holds rows that no file has: the last
// Save Results (or Open Results into an empty table) marks the history's
// saved point, and the table is unsaved while it holds rows and a step
// that changed rows lies between that point and now. A sort alone changes
// no row.
class TableHistory final : public QObject, public ResultsModel::EditSink {
  Q_OBJECT

 public:
  // What the window shows about the table beside its rows, taken back with
  // a step: the count panel's text and the sort state.
  struct ViewState {
    std::string itemCount;
    int sortColumn = -1;
    bool sortAscending = true;
  };
  struct Parts {
    ResultsModel& model;
    std::function<ViewState()> viewState;
    std::function<void(const ViewState&)> showViewState;
  };

  // The oldest steps go beyond this many.
  static constexpr int kStepLimit = 100;

  // Becomes the model's edit sink until it goes.
  TableHistory(Parts parts, QObject* parent);
  ~TableHistory() override;

  QUndoStack& Stack() { return stack_; }

  bool Unsaved() const;

  // EditSink
  void StepStarts() override;
  void StepMade(TableEdit edit) override;
  void TableSaved() override;

 signals:
  // Unsaved() may have changed.
  void SavedStateChanged();

 private:
  class Step;

  Parts parts_;
  QUndoStack stack_;
  ViewState before_;  // the window as the step being made found it
};

}  // namespace quorvane
