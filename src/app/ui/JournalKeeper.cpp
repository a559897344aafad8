#include "app/ui/JournalKeeper.h"

#include <utility>

#include "app/ui/ResultsModel.h"

namespace quorvane {

JournalKeeper::JournalKeeper(ResultsModel& model, std::function<bool()> unsaved,
                             std::filesystem::path folder, QObject* parent)
    : QObject(parent), model_(model), unsaved_(std::move(unsaved)), folder_(std::move(folder)) {
  interval_.setSingleShot(true);
  interval_.setInterval(kIntervalMs);
  slice_.setSingleShot(true);
  slice_.setInterval(0);
  connect(&interval_, &QTimer::timeout, this, &JournalKeeper::StartPass);
  connect(&slice_, &QTimer::timeout, this, &JournalKeeper::WriteSlice);
}

JournalKeeper::~JournalKeeper() {
  End();
}

bool JournalKeeper::Wanted() {
  if (ended_) return false;
  if (unsaved_()) return true;
  Discard();  // a saved or empty table has none
  return false;
}

void JournalKeeper::Changed() {
  if (!Wanted()) return;
  dirty_ = true;
  if (!interval_.isActive() && !builder_) interval_.start();
}

void JournalKeeper::Adopt(JournalSlot slot) {
  if (ended_) return;
  if (slot_) {
    writer_.Wait();
    slot_->Remove();
  }
  slot_ = std::move(slot);
}

void JournalKeeper::End() {
  ended_ = true;
  Discard();
}

std::filesystem::path JournalKeeper::JournalPath() const {
  return slot_ ? slot_->JournalPath() : std::filesystem::path();
}

bool JournalKeeper::Pending() const {
  return dirty_ || builder_.has_value() || interval_.isActive() || writer_.Busy();
}

void JournalKeeper::StartPass() {
  if (!Wanted()) return;
  dirty_ = false;
  builder_.emplace(model_.RowCount());
  next_ = 0;
  revision_ = model_.OrderRevision();
  WriteSlice();
}

void JournalKeeper::WriteSlice() {
  if (!builder_ || !Wanted()) return;
  if (model_.OrderRevision() != revision_) {
    // Rows went or moved: the rows written so far are no longer the first
    // rows of the table. Appends and written cells need no new start.
    builder_.emplace(model_.RowCount());
    next_ = 0;
    revision_ = model_.OrderRevision();
  }
  QElapsedTimer clock;
  clock.start();
  const ResultStore& store = model_.Store();
  while (next_ < store.Count()) {
    builder_->Add(store.Row(next_++));
    if ((next_ & 255) == 0 && clock.elapsed() >= kSliceMs) {
      slice_.start();
      return;
    }
  }
  std::string bytes = builder_->Finish();
  builder_.reset();
  if (!slot_) slot_ = JournalSlot::Open(folder_);
  // Without a slot (the state folder cannot be written) the next change
  // tries again.
  if (slot_) writer_.Write(slot_->JournalPath(), std::move(bytes));
  if (dirty_) interval_.start();
}

void JournalKeeper::Discard() {
  interval_.stop();
  slice_.stop();
  builder_.reset();
  dirty_ = false;
  if (!slot_) return;
  // The file is the writer's until its write is done.
  writer_.Wait();
  slot_->Remove();
  slot_.reset();
}

}  // namespace quorvane
