#pragma once

#include <functional>

namespace quorvane {

// A moment of the local wall clock, broken down.
struct LocalTime {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;  // 0 to 23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The clock is a parameter wherever a value depends on it, so that tests
// can fix the time.
using LocalClock = std::function<LocalTime()>;

LocalTime CurrentLocalTime();

}  // namespace quorvane
