#include "app/ui/TableHistory.h"

#include <QUndoCommand>
#include <algorithm>
#include <utility>

#include "base/ui/LocalText.h"

namespace quorvane {

// One step of the history. It is pushed after the model made it, so its
// first redo (QUndoStack::push calls it) has nothing to do.
class TableHistory::Step final : public QUndoCommand {
 public:
  Step(TableHistory& history, TableEdit edit, ViewState before)
      : QUndoCommand(FromLocal(edit.Description())),
        history_(history),
        edit_(std::move(edit)),
        before_(std::move(before)) {}

  bool ChangesRows() const { return edit_.ChangesRows(); }

  void undo() override {
    // The window as later steps and commands left it, for the redo.
    after_ = history_.parts_.viewState();
    history_.parts_.model.Undo(edit_);
    history_.parts_.showViewState(before_);
  }

  void redo() override {
    if (std::exchange(made_, false)) return;
    history_.parts_.model.Redo(edit_);
    history_.parts_.showViewState(after_);
  }

 private:
  TableHistory& history_;
  TableEdit edit_;
  ViewState before_;
  ViewState after_;
  bool made_ = true;
};

TableHistory::TableHistory(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)) {
  stack_.setUndoLimit(kStepLimit);
  parts_.model.SetEditSink(this);
  connect(&stack_, &QUndoStack::indexChanged, this, &TableHistory::SavedStateChanged);
  connect(&stack_, &QUndoStack::cleanChanged, this, &TableHistory::SavedStateChanged);
}

TableHistory::~TableHistory() {
  parts_.model.SetEditSink(nullptr);
  // The steps go before the model they would act on.
  stack_.clear();
}

void TableHistory::StepStarts() {
  before_ = parts_.viewState();
}

void TableHistory::StepMade(TableEdit edit) {
  stack_.push(new Step(*this, std::move(edit), std::move(before_)));
}

bool TableHistory::Unsaved() const {
  if (parts_.model.RowCount() == 0) return false;
  const int saved = stack_.cleanIndex();
  if (saved < 0) return true;  // the saved point was dropped, or undone and replaced
  const int now = stack_.index();
  for (int i = std::min(saved, now); i < std::max(saved, now); ++i) {
    if (static_cast<const Step*>(stack_.command(i))->ChangesRows()) return true;
  }
  return false;
}

void TableHistory::TableSaved() {
  stack_.setClean();
  emit SavedStateChanged();
}

}  // namespace quorvane
