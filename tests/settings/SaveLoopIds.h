#pragma once

#include <string>

namespace quorvane {

// The id that save N of quorvane_save_loop stores: two ids in turn, of
// different lengths, so the settings text changes size from save to save.
inline std::string SaveLoopId(unsigned long n) {
  return n % 2 == 0 ? "1001" : "73";
}

}  // namespace quorvane
