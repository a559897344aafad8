// ParseSuggestions must stay linear in the page size: a suggestion page of
// 10,000 rows (1 MiB) and its double and quadruple.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "base/ResultsTable.h"
#include "keywords/SuggestionParser.h"

using namespace quorvane;

namespace {

constexpr int kRowsPerMiB = 10'000;
constexpr std::size_t kRowBytes = (1u << 20) / kRowsPerMiB;  // 104

// Counts rows instead of keeping them, so that only the parse is timed.
class CountingTable : public ResultsTable {
 public:
  int RowCount() const override { return rows_; }
  void AddResultRow(const std::string&, const std::string& keyword,
                    const std::string& searches) override {
    ++rows_;
    bytes_ += keyword.size() + searches.size();
  }
  std::string Cell(int, int) const override { return {}; }
  void SetCell(int, int, const std::string&) override {}
  void Clear() override { rows_ = 0; }
  void ShowItemCount() override {}
  void SetHeaderSortEnabled(bool) override {}
  std::size_t Bytes() const { return bytes_; }

 private:
  int rows_ = 0;
  std::size_t bytes_ = 0;
};

std::string SuggestionPage(int rows) {
  std::string page =
      "<html><body><table><thead><tr><th>Searches</th><th>Keyword</th></tr></thead>\r\n"
      "<tfoot><tr><td>Total</td></tr></tfoot>\r\n<tbody>\r\n";
  char buffer[160];
  for (int i = 0; i < rows; ++i) {
    std::string row;
    const int count = std::snprintf(buffer, sizeof buffer,
                                    "<tr><td>%d,%03d</td><td><a href=\"/?seed=golf+%05d\">"
                                    "golf clubs %05d</a></td></tr>",
                                    i / 1000 + 1, i % 1000, i, i);
    row.assign(buffer, static_cast<std::size_t>(count));
    if (row.size() + 2 < kRowBytes) row.append(kRowBytes - 2 - row.size(), ' ');
    row += "\r\n";
    page += row;
  }
  return page + "</tbody></table></body></html>\r\n";
}

void BM_ParseSuggestions(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0)) * kRowsPerMiB;
  const std::string page = SuggestionPage(rows);
  for (auto _ : state) {
    CountingTable table;
    ParseSuggestions(page, table);
    if (table.RowCount() != rows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(table.Bytes());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ParseSuggestions)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
