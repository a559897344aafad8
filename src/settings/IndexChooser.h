#pragma once

#include <functional>

namespace quorvane {

// Picks one of `count` candidates (count >= 1) and returns its index,
// 0 to count - 1. The program draws at random; tests pass a fixed choice.
using IndexChooser = std::function<int(int count)>;

// A uniform draw from a generator seeded from the clock on every call, so
// that each choice is independent of the ones before it.
int ChooseFromClock(int count);

}  // namespace quorvane
