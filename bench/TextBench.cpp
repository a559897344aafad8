// Linearity of the text routines on page-sized inputs: doubling the input
// should about double the time.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "base/TextRoutines.h"

using namespace quorvane;

namespace {

constexpr std::size_t kMiB = 1 << 20;

// `scale` MiB holding 100,000 tags per MiB, spread evenly between words;
// a mix of tags StripHtml removes, replaces or leaves alone, and entities.
std::string TagPage(int scale) {
  static constexpr std::array<std::string_view, 12> kTags = {"<td>", "</td>",  "<b>",
                                                             "</b>", "<br>",   "&amp;nbsp;",
                                                             "<tr>", "</tr>",  "<a href=\"/q\">",
                                                             "</a>", "&#039;", "<font color=red>"};
  const std::size_t size = kMiB * scale;
  const std::size_t tags = 100000 * scale;
  std::string page;
  page.reserve(size + 32);
  for (std::size_t i = 0; i < tags; ++i) {
    page += kTags[i % kTags.size()];
    const std::size_t target = (i + 1) * size / tags;
    for (std::size_t k = 0; page.size() < target; ++k) page.push_back(k % 6 == 5 ? ' ' : 'g');
  }
  return page;
}

void BM_StripHtmlPage(benchmark::State& state) {
  const std::string page = TagPage(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(StripHtml(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_StripHtmlPage)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// `scale` MiB of suggestion-style rows, 10,000 rows per MiB.
std::string RowPage(int scale) {
  const std::size_t rows = 10000 * scale;
  const std::size_t rowSize = kMiB / 10000;
  std::string page = "<table><thead>head</thead><tfoot></tfoot>\n";
  page.reserve(kMiB * scale + 64);
  for (std::size_t i = 0; i < rows; ++i) {
    std::string row = "<TR><td>" + std::to_string(i) + "</td><td><a href=\"/x\">golf clubs ";
    while (row.size() + 15 < rowSize) row += "x";
    row += "</a></TD></tr>\n";
    page += row;
  }
  return page;
}

template <typename Working>
std::size_t WalkRows(Working& work) {
  std::size_t found = 0;
  for (;;) {
    const std::string count = CutBetween(work, "<tr><td>", "</td>");
    if (count.empty()) break;
    found += CutBetween(work, "<td>", "</td>").size() > 0;
  }
  return found;
}

void BM_CutBetweenWalker(benchmark::State& state) {
  const std::string page = RowPage(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TextWalker walker(page);
    benchmark::DoNotOptimize(WalkRows(walker));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CutBetweenWalker)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// The erasing std::string overload on smaller pages (eighths of a MiB), for
// contrast: each call moves the remaining text, so this one is quadratic.
void BM_CutBetweenString(benchmark::State& state) {
  const std::string full = RowPage(1);
  const std::string page = full.substr(0, full.size() * state.range(0) / 8);
  for (auto _ : state) {
    std::string work = page;
    benchmark::DoNotOptimize(WalkRows(work));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CutBetweenString)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// Inputs where every replacement forms the next match just before it, so a
// search restarting from the beginning each time would be quadratic.
void BM_ReplaceAllNestedEntities(benchmark::State& state) {
  std::string text = "&";
  for (int64_t i = 0; i < state.range(0); ++i) text += "amp;";
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceAll(text, "&amp;", "&"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceAllNestedEntities)
    ->Arg(1 << 16)
    ->Arg(1 << 17)
    ->Arg(1 << 18)
    ->Unit(benchmark::kMillisecond);

void BM_ReplaceAllNestedPairs(benchmark::State& state) {
  const std::string text = std::string(state.range(0), '(') + std::string(state.range(0), ')');
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceAll(text, "()", ""));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceAllNestedPairs)
    ->Arg(1 << 18)
    ->Arg(1 << 19)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

// A long searched text whose replacement is its own tail: every
// replacement pushes 63 bytes back that form the next match with the byte
// before them.
void BM_ReplaceAllLongSearched(benchmark::State& state) {
  const std::string tail(63, 'a');
  const std::string text = std::string(state.range(0), 'b') + tail;
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceAll(text, "b" + tail, tail));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceAllLongSearched)
    ->Arg(1 << 12)
    ->Arg(1 << 13)
    ->Arg(1 << 14)
    ->Unit(benchmark::kMillisecond);

}  // namespace
