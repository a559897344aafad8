#pragma once

#include <array>
#include <string>

namespace quorvane {

// Column indexes of the results table.
enum ResultColumn : int {
  kColNo = 0,
  kColKeywords = 1,
  kColSearches = 2,
  kColGoogle = 3,
  kColYahoo = 4,
  kColMsn = 5,
  kColumnCount = 6
};

// One row of the results table: six 8-bit cells (No, Keywords, Searches,
// Google, Yahoo, Msn) and the check box that marks it for "Delete Selected".
struct ResultRow {
  std::array<std::string, kColumnCount> cells;
  bool checked = false;
};

// A phrase on its way into the table, with its search count (empty when
// the source gives none).
struct NewKeyword {
  std::string keyword;
  std::string searches;

  bool operator==(const NewKeyword&) const = default;
};

}  // namespace quorvane
