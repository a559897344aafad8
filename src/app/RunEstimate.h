#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// The time left of a run over a known number of rows. Times are
// milliseconds of a steady clock, given by the caller.
//
// Engines answer unevenly (a stalled page, a cached answer, rows that end
// together), so the estimate is smoothed twice: the pace is a moving
// average of the rows' durations in which one slow row counts at most a
// few times the current pace, and the time shown counts down with the
// clock between rows and moves only part of the way towards each new
// reckoning. It thus falls steadily instead of jumping back and forth,
// and still follows a run that changes pace within a few dozen rows.
class RunEstimate {
 public:
  // Rows needed before any estimate is given.
  static constexpr int kRowsBeforeEstimate = 3;
  // Rows over which the pace is averaged once the run is under way.
  static constexpr int kPaceRows = 20;

  void Start(int total, std::int64_t nowMs);
  // `done` rows of the run are finished now.
  void RowDone(int done, std::int64_t nowMs);

  int Done() const { return done_; }
  int Total() const { return total_; }
  // The time left as of the last finished row; nothing until
  // kRowsBeforeEstimate rows are done.
  std::optional<std::int64_t> RemainingMs() const;

  // "Row 370 of 1,000 · about 2 min left" (UTF-8): the row being worked on
  // (the last one once all are done), and the estimate when there is one.
  std::string Text() const;
  // Where a run that ended before its last row stopped, and how to go on:
  // "Stopped at row 1,881 of 10,000 — Gather Missing Data goes on from
  // there" (UTF-8).
  std::string StoppedText() const;

 private:
  int total_ = 0;
  int done_ = 0;
  std::int64_t lastRowMs_ = 0;
  int paceSamples_ = 0;
  double paceMs_ = 0;  // smoothed duration of one row
  std::optional<double> shownMs_;
  std::int64_t shownAtMs_ = 0;
};

// "about 40 s left", "about 2 min left", "about 1 h 5 min left": seconds
// rounded up to the next 5 under a minute, whole minutes (rounded) under
// an hour, then hours and minutes.
std::string TimeLeftText(std::int64_t ms);

}  // namespace quorvane
