// ParseSuggestions must stay linear in the page size: a suggestion page of
// 10,000 rows (1 MiB) and its double and quadruple.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "keywords/SuggestionParser.h"

using namespace quorvane;

namespace {

constexpr int kRowsPerMiB = 10'000;
constexpr std::size_t kRowBytes = (1u << 20) / kRowsPerMiB;  // 104

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
    const std::vector<NewKeyword> parsed = ParseSuggestions(page);
    if (static_cast<int>(parsed.size()) != rows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(parsed.data());
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
