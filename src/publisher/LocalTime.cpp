#include "publisher/LocalTime.h"

#include <chrono>
#include <ctime>

namespace quorvane {

LocalTime CurrentLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm parts{};
  localtime_r(&seconds, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,       parts.tm_hour,
          parts.tm_min,         parts.tm_sec,     static_cast<int>(ms)};
}

}  // namespace quorvane
