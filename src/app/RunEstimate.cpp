#include "app/RunEstimate.h"

#include <algorithm>

#include "app/GroupThousands.h"

namespace quorvane {

namespace {

// A single row counts at most this many times the pace so far: a stalled
// page must not triple the estimate, a run that really slows down still
// pulls the pace up row by row.
constexpr double kLongestRowInPaces = 4.0;
// The share of the way from the time shown towards a new reckoning that
// each finished row goes.
constexpr double kFollowShare = 0.25;

}  // namespace

void RunEstimate::Start(int total, std::int64_t nowMs) {
  total_ = std::max(0, total);
  done_ = 0;
  lastRowMs_ = nowMs;
  paceSamples_ = 0;
  paceMs_ = 0;
  shownMs_.reset();
  shownAtMs_ = nowMs;
}

void RunEstimate::RowDone(int done, std::int64_t nowMs) {
  const int rows = std::min(done, total_) - done_;
  if (rows <= 0) return;
  // Rows finished together share the time since the last report.
  const double each = static_cast<double>(std::max<std::int64_t>(0, nowMs - lastRowMs_)) /
                      static_cast<double>(rows);
  for (int i = 0; i < rows; ++i) {
    ++paceSamples_;
    if (paceSamples_ == 1) {
      paceMs_ = each;
      continue;
    }
    const double sample = paceMs_ > 0 ? std::min(each, kLongestRowInPaces * paceMs_) : each;
    // A plain mean over the first rows, a moving average afterwards.
    const double weight = 1.0 / std::min(paceSamples_, kPaceRows);
    paceMs_ += weight * (sample - paceMs_);
  }
  done_ += rows;
  lastRowMs_ = nowMs;

  if (done_ < kRowsBeforeEstimate) return;
  const double reckoned = paceMs_ * (total_ - done_);
  if (!shownMs_) {
    shownMs_ = reckoned;
  } else {
    const double countedDown = std::max(
        0.0, *shownMs_ - static_cast<double>(std::max<std::int64_t>(0, nowMs - shownAtMs_)));
    shownMs_ = countedDown + kFollowShare * (reckoned - countedDown);
  }
  shownAtMs_ = nowMs;
}

std::optional<std::int64_t> RunEstimate::RemainingMs() const {
  if (!shownMs_) return std::nullopt;
  return static_cast<std::int64_t>(*shownMs_ + 0.5);
}

std::string RunEstimate::Text() const {
  std::string text = "Row ";
  text += GroupThousands(std::min(done_ + 1, total_));
  text += " of ";
  text += GroupThousands(total_);
  if (const auto left = RemainingMs(); left && done_ < total_) {
    text += " \xc2\xb7 ";
    text += TimeLeftText(*left);
  }
  return text;
}

std::string RunEstimate::StoppedText() const {
  std::string text = "Stopped at row ";
  text += GroupThousands(std::min(done_ + 1, total_));
  text += " of ";
  text += GroupThousands(total_);
  text += " \xe2\x80\x94 Gather Missing Data goes on from there";
  return text;
}

std::string TimeLeftText(std::int64_t ms) {
  const std::int64_t seconds = (std::max<std::int64_t>(ms, 0) + 999) / 1000;
  std::string text = "about ";
  if (seconds < 60) {
    text += std::to_string(std::max<std::int64_t>(5, (seconds + 4) / 5 * 5));
    text += " s left";
    return text;
  }
  const std::int64_t minutes = (seconds + 30) / 60;
  if (minutes < 60) {
    text += std::to_string(minutes);
    text += " min left";
    return text;
  }
  text += std::to_string(minutes / 60);
  text += " h";
  if (const std::int64_t rest = minutes % 60; rest != 0) {
    text += ' ';
    text += std::to_string(rest);
    text += " min";
  }
  text += " left";
  return text;
}

}  // namespace quorvane
