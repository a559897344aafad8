#include "app/RunEstimate.h"

#include <algorithm>

#include "app/GroupThousands.h"

namespace quorvane {

void RunEstimate::Start(int total, std::int64_t nowMs) {
  total_ = std::max(0, total);
  done_ = 0;
  lastMs_ = nowMs;
  durations_.clear();
  durationSum_ = 0;
}

void RunEstimate::RowDone(int done, std::int64_t nowMs) {
  const int rows = done - done_;
  if (rows <= 0) return;
  // Rows finished together share the time since the last report.
  const std::int64_t each = std::max<std::int64_t>(0, nowMs - lastMs_) / rows;
  for (int i = 0; i < rows; ++i) {
    durations_.push_back(each);
    durationSum_ += each;
    if (durations_.size() > kAveragedRows) {
      durationSum_ -= durations_.front();
      durations_.pop_front();
    }
  }
  done_ = std::min(done, total_);
  lastMs_ = nowMs;
}

std::optional<std::int64_t> RunEstimate::RemainingMs() const {
  if (done_ < kRowsBeforeEstimate || durations_.empty()) return std::nullopt;
  const auto average = static_cast<double>(durationSum_) / static_cast<double>(durations_.size());
  return static_cast<std::int64_t>(average * (total_ - done_) + 0.5);
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
