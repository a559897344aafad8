#pragma once

#include <array>
#include <string>

#include "base/ResultsTable.h"

namespace quorvane {

// One row of the results table: six 8-bit cells (No, Keywords, Searches,
// Google, Yahoo, Msn) and the check box that marks it for "Delete Selected".
struct ResultRow {
  std::array<std::string, kColumnCount> cells;
  bool checked = false;
};

}  // namespace quorvane
