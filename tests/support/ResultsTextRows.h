#pragma once

// The rows a reader gave, as tests compare them: every cell but No (which
// is renumbered when the rows go into the table).

#include <string>
#include <vector>

#include "app/ResultsText.h"

namespace quorvane {

using Cells = std::vector<std::string>;  // Keywords, Searches, Google, Yahoo, Msn

inline std::vector<Cells> Rows(const ResultsText& text) {
  std::vector<Cells> rows;
  for (const ResultRow& row : text.rows)
    rows.push_back({row.cells[kColKeywords], row.cells[kColSearches], row.cells[kColGoogle],
                    row.cells[kColYahoo], row.cells[kColMsn]});
  return rows;
}

}  // namespace quorvane
