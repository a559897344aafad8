// The results table of the main window at 100,000 rows, window shown on the
// offscreen platform: importing a keyword list, sorting by each column,
// deleting half of the rows and exporting, each followed by the event
// processing that brings the view up to date; saving them as CSV and as an
// Excel workbook (target: under 3 s); fitting the columns and resizing the
// window (targets: under 50 ms). The resident set size with those rows
// is reported as a counter (target: under 250 MiB). A missed target fails
// (error).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFolder.h"
#include "app/ui/ColumnFitter.h"
#include "app/ui/FMain.h"
#include "app/ui/TableHistory.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"

using namespace quorvane;

namespace {

constexpr int kRows = 100000;

// A keyword list of kRows lines, phrases of a few words in mixed case.
std::filesystem::path KeywordList() {
  static const std::filesystem::path file = [] {
    const auto path = BenchFolder() / "keywords.txt";
    std::ofstream out(path, std::ios::binary);
    const char* words[] = {"golf", "Clubs", "soccer", "tennis", "Shoes", "cheap", "best", "balls"};
    for (int i = 0; i < kRows; ++i) {
      out << words[(i * 7) % 8] << ' ' << words[(i * 3 + 1) % 8] << ' ' << (i * 7919) % 100000
          << "\r\n";
    }
    return path;
  }();
  return file;
}

void Settle() {
  QCoreApplication::processEvents();
}

// A shown main window holding kRows imported rows with counts filled in.
TfrmMain& FullWindow() {
  static TfrmMain* window = [] {
    auto* w = new TfrmMain;
    w->show();
    w->ImportKeywordFile(KeywordList().string());
    for (int row = 0; row < w->Results().RowCount(); ++row) {
      w->Results().SetCell(row, kColSearches, std::to_string((row * 104729) % 900000));
      w->Results().SetCell(row, kColGoogle, std::to_string((row * 31) % 1000) + ",000");
    }
    Settle();
    return w;
  }();
  return *window;
}

// A figure of /proc/self/status in KiB ("VmRSS:", "VmHWM:").
long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + field.size(), nullptr, 10);
  return -1;
}

long ResidentKiB() {
  return StatusKiB("VmRSS:");
}

void BM_ImportKeywordFile(benchmark::State& state) {
  TfrmMain window;
  window.show();
  const std::string list = KeywordList().string();
  for (auto _ : state) {
    window.ImportKeywordFile(list);
    Settle();
    state.PauseTiming();
    if (window.Results().RowCount() != kRows) state.SkipWithError("rows missing");
    window.Results().Clear();
    // Each round starts afresh: the rounds before must not pile up undo steps.
    window.History().Stack().clear();
    Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportKeywordFile)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  const int column = static_cast<int>(state.range(0));
  for (auto _ : state) {
    window.lvwItemsColumnClick(column);  // alternates the direction
    Settle();
  }
  state.SetLabel(std::to_string(window.Results().RowCount()) + " rows");
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, kColumnCount - 1)->Unit(benchmark::kMillisecond);

// Ticks every other row (many runs: one model reset) or the first half
// (one run: one range removal), then "Delete Selected" with OK.
void BM_DeleteSelectedHalf(benchmark::State& state) {
  const bool scattered = state.range(0) == 1;
  TfrmMain window;
  window.show();
  const std::string list = KeywordList().string();
  for (auto _ : state) {
    state.PauseTiming();
    window.Results().Clear();
    // Each round starts afresh: the rounds before must not pile up undo steps.
    window.History().Stack().clear();
    window.ImportKeywordFile(list);
    auto* model = window.findChild<QTableView*>("lvwItems")->model();
    for (int row = 0; row < kRows; ++row) {
      if (scattered ? row % 2 == 0 : row < kRows / 2)
        model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    }
    Settle();
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    state.ResumeTiming();

    window.btnDeleteSelectedClick();
    Settle();

    state.PauseTiming();
    if (window.Results().RowCount() != kRows / 2) state.SkipWithError("wrong row count");
    state.ResumeTiming();
  }
  state.SetLabel(scattered ? "every other row" : "first half");
}
BENCHMARK(BM_DeleteSelectedHalf)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_SaveResultsCsv(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  const QString target = QString::fromStdString((BenchFolder() / "results.csv").string());
  MessageBox::ResetTestState();
  for (auto _ : state) {
    // A new file each time: replacing one would ask first.
    state.PauseTiming();
    std::filesystem::remove(BenchFolder() / "results.csv");
    state.ResumeTiming();
    FileDialogs::SetNextFileName(target);
    window.SaveResultsCsv();
  }
  if (!MessageBox::ShownBoxes().empty())
    state.SkipWithError(MessageBox::ShownBoxes().front().text.c_str());
  state.counters["bytes"] =
      static_cast<double>(std::filesystem::file_size(BenchFolder() / "results.csv"));
}
BENCHMARK(BM_SaveResultsCsv)->Unit(benchmark::kMillisecond);

void BM_SaveResultsXlsx(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  const auto file = BenchFolder() / "results.xlsx";
  const QString target = QString::fromStdString(file.string());
  MessageBox::ResetTestState();
  double total = 0;
  for (auto _ : state) {
    std::filesystem::remove(file);  // replacing it would ask first
    const auto start = std::chrono::steady_clock::now();
    FileDialogs::SetNextFileName(target, QStringLiteral("Excel workbook (*.xlsx)"));
    window.SaveResultsCsv();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  if (!MessageBox::ShownBoxes().empty()) {
    state.SkipWithError(MessageBox::ShownBoxes().front().text.c_str());
    return;
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  if (total / static_cast<double>(state.iterations()) > 3.0)
    state.SkipWithError("the workbook took longer than 3 s");
}
BENCHMARK(BM_SaveResultsXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

// Fitting the columns to every shown row of the full table, measured
// afresh (target: under 50 ms).
void BM_FitColumns(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  auto* columns = window.findChild<ColumnFitter*>();
  if (columns == nullptr) {
    state.SkipWithError("no column fitter");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    columns->FitNow();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.SetLabel(std::to_string(window.Results().RowCount()) + " rows");
  if (total / static_cast<double>(state.iterations()) > 0.050)
    state.SkipWithError("fitting the columns took longer than 50 ms");
}
BENCHMARK(BM_FitColumns)->Unit(benchmark::kMillisecond);

// The window made wider or narrower by 40 pixels and painted again, the
// columns shared out anew (target: under 50 ms).
void BM_ResizeAndRepaint(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  const QSize base = window.size();
  bool wider = false;
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    wider = !wider;
    window.resize(base.width() + (wider ? 40 : 0), base.height());
    Settle();
    window.repaint();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  window.resize(base);
  Settle();
  if (total / static_cast<double>(state.iterations()) > 0.050)
    state.SkipWithError("resizing and painting took longer than 50 ms");
}
BENCHMARK(BM_ResizeAndRepaint)->Unit(benchmark::kMillisecond);

void BM_ResidentSetWithFullTable(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  for (auto _ : state) benchmark::DoNotOptimize(window.Results().RowCount());
  state.counters["rows"] = window.Results().RowCount();
  const double resident = static_cast<double>(ResidentKiB()) / 1024.0;
  state.counters["VmRSS_MiB"] = resident;
  state.counters["VmHWM_MiB"] = static_cast<double>(StatusKiB("VmHWM:")) / 1024.0;
  if (resident >= 250) state.SkipWithError("the full table takes 250 MiB or more");
}
BENCHMARK(BM_ResidentSetWithFullTable)->Iterations(1);

}  // namespace
