// Open Results, Paste and drops on arbitrary bytes: the reader of saved
// results tables and phrase lists, against the writer of Save Results (its
// formula guard included) and the duplicate rule of Remove Duplicates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "app/FormulaGuard.h"
#include "app/ResultStore.h"
#include "app/ResultsCsv.h"
#include "app/ResultsCsvReader.h"
#include "app/ResultsLimits.h"

using namespace quorvane;

namespace {

bool SameCells(const std::vector<ResultRow>& a, const std::vector<ResultRow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].cells != b[i].cells) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);

  // Pasted or dropped text: a bad text adds nothing; a text cut at a NUL
  // counts the lines before it; no cell is past the limit.
  const ResultsText pasted = ParseResultsOrLines(bytes);
  FUZZ_CHECK(pasted.ok() || pasted.rows.empty());
  FUZZ_CHECK((pasted.linesBeforeNul >= 0) <= (bytes.find('\0') != std::string_view::npos));
  for (const auto& row : pasted.rows)
    for (const auto& cell : row.cells) FUZZ_CHECK(cell.size() <= kMaxCellBytes);

  // The formula guard is undone exactly, and what it writes starts no formula.
  const std::string guarded = GuardFormula(bytes);
  FUZZ_CHECK(UnguardFormula(guarded) == bytes);
  FUZZ_CHECK(!NeedsFormulaGuard(bytes) || guarded.front() == '\'');

  const ResultsText text = ParseResultsText(bytes);

  // A bad text adds nothing and says where and why.
  if (!text.ok()) {
    FUZZ_CHECK(text.rows.empty());
    FUZZ_CHECK(text.badLine >= 1);
    FUZZ_CHECK(!text.problem.empty());
    return 0;
  }
  FUZZ_CHECK(text.table == StartsWithResultsHeader(bytes));
  if (!text.table) {
    for (const auto& row : text.rows)
      for (int c = 0; c < kColumnCount; ++c)
        FUZZ_CHECK(c == kColKeywords || row.cells[static_cast<std::size_t>(c)].empty());
  }

  // What Save Results writes of the rows reads back as the same rows.
  ResultStore store;
  for (const auto& row : text.rows) store.Add(row);
  const ResultsText again = ParseResultsText(BuildResultsCsv(store));
  FUZZ_CHECK(again.ok() && again.table);
  FUZZ_CHECK(SameCells(again.rows, text.rows));

  // Removing duplicates twice removes nothing the second time, and what
  // stays holds no two phrases that the rule calls equal.
  ResultStore unique = store;
  const int removed = unique.RemoveDuplicates();
  FUZZ_CHECK(removed == static_cast<int>(store.DuplicateRows().size()));
  FUZZ_CHECK(unique.Count() + removed == store.Count());
  FUZZ_CHECK(unique.DuplicateRows().empty());
  FUZZ_CHECK(unique.RemoveDuplicates() == 0);
  return 0;
}
