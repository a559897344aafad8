#include "settings/IndexChooser.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace quorvane {

int ChooseFromClock(int count) {
  if (count <= 1) return 0;
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  std::mt19937 generator(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
  return std::uniform_int_distribution<int>(0, count - 1)(generator);
}

}  // namespace quorvane
