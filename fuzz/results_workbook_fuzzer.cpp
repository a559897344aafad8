// Open Results on arbitrary bytes taken for a workbook: a damaged ZIP or
// damaged XML is refused as a whole, a sheet that is no table is named by
// its row, and nothing past the limits comes through.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "app/ResultsLimits.h"
#include "app/ResultsWorkbookReader.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);
  const ResultsFile file = ParseResultsWorkbook(bytes);
  if (!file.readable) {
    FUZZ_CHECK(!file.problem.empty());
    FUZZ_CHECK(file.text.rows.empty());
    return 0;
  }
  if (!file.text.ok()) {
    FUZZ_CHECK(file.text.rows.empty());
    FUZZ_CHECK(file.text.badLine >= 1);
    FUZZ_CHECK(file.text.place == "row");
    return 0;
  }
  FUZZ_CHECK(file.text.rows.size() <= kMaxResultRows);
  for (const auto& row : file.text.rows) {
    for (int c = 0; c < kColumnCount; ++c) {
      const auto& cell = row.cells[static_cast<std::size_t>(c)];
      FUZZ_CHECK(cell.size() <= kMaxCellBytes);
      FUZZ_CHECK(file.text.table || c == kColKeywords || cell.empty());
    }
  }
  // The same bytes read the same way again.
  const ResultsFile again = ParseResultsWorkbook(bytes);
  FUZZ_CHECK(again.readable && again.text.rows.size() == file.text.rows.size());
  return 0;
}
