#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace quorvane {

// The time left of a run over a known number of rows, from a moving average
// of the last rows' durations: a few slow or fast rows (a stalled engine, a
// cached answer) move the estimate only gently, and a run that changes pace
// is followed within a few rows. Times are milliseconds of a steady clock,
// given by the caller.
class RunEstimate {
 public:
  // Rows averaged, and the rows needed before any estimate is given.
  static constexpr std::size_t kAveragedRows = 20;
  static constexpr int kRowsBeforeEstimate = 3;

  void Start(int total, std::int64_t nowMs);
  // `done` rows of the run are finished now.
  void RowDone(int done, std::int64_t nowMs);

  int Done() const { return done_; }
  int Total() const { return total_; }
  // Nothing until kRowsBeforeEstimate rows are done.
  std::optional<std::int64_t> RemainingMs() const;

  // "Row 370 of 1,000 · about 2 min left" (UTF-8): the row being worked on
  // (the last one once all are done), and the estimate when there is one.
  std::string Text() const;

 private:
  int total_ = 0;
  int done_ = 0;
  std::int64_t lastMs_ = 0;
  std::deque<std::int64_t> durations_;
  std::int64_t durationSum_ = 0;
};

// "about 40 s left", "about 2 min left", "about 1 h 5 min left": seconds
// rounded up to the next 5 under a minute, whole minutes (rounded) under
// an hour, then hours and minutes.
std::string TimeLeftText(std::int64_t ms);

}  // namespace quorvane
