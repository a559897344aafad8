#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/BackgroundFileWriter.h"
#include "app/JournalSlot.h"
#include "app/SessionJournal.h"

namespace quorvane {

class ResultsModel;

// Keeps the journal of the results table (SessionJournal) while the table
// holds rows not yet saved, so that a crash loses at most the last few
// seconds of work.
//
// A change starts the interval; when it has passed, the table is written
// out in slices of a few milliseconds on the user-interface thread, between
// the other events (a Gather Data run goes on meanwhile: its written cells
// simply join the slices still to come; a removal or a reorder starts the
// pass again). The finished bytes go to a BackgroundFileWriter, whose
// thread only writes them to the file. So a journal is written at most once
// per interval, never per row, and neither typing nor a run waits for the
// disk.
//
// A saved or empty table has no journal: its file goes as soon as the table
// is saved. End() removes it for good; so does the destructor.
class JournalKeeper final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 2000;
  // How long one slice of the writing-out may hold the thread.
  static constexpr int kSliceMs = 3;

  // `unsaved` says whether the table holds rows not yet saved; the journals
  // live in `folder`.
  JournalKeeper(ResultsModel& model, std::function<bool()> unsaved, std::filesystem::path folder,
                QObject* parent);
  ~JournalKeeper() override;

  // The table changed, or whether it is saved.
  void Changed();
  // Takes over the slot of an earlier session, journal and all: its rows
  // are now this session's.
  void Adopt(JournalSlot slot);
  // Removes the journal and keeps none from now on: the program ends
  // cleanly.
  void End();

  // The journal's path while there is one.
  std::filesystem::path JournalPath() const;
  // True from a change until its journal is on disk (or gone, for a saved
  // table): a test or a benchmark waits for this to turn false.
  bool Pending() const;

 private:
  // Whether a journal is still to be kept; drops it when not.
  bool Wanted();
  void StartPass();
  void WriteSlice();
  void Discard();

  ResultsModel& model_;
  std::function<bool()> unsaved_;
  std::filesystem::path folder_;
  BackgroundFileWriter writer_;
  std::optional<JournalSlot> slot_;
  QTimer interval_;
  QTimer slice_;
  std::optional<JournalBuilder> builder_;  // while a pass goes on
  int next_ = 0;                           // the next row of the pass
  std::uint64_t revision_ = 0;             // the model's order when the pass began
  bool dirty_ = false;                     // changed since the pass began
  bool ended_ = false;
};

}  // namespace quorvane
