// Bringing a big table in and tidying it, at 100,000 rows: Open Results of
// a saved results file and of a saved workbook into a shown main window
// (with the event processing that brings the view up to date), the reader
// alone, and Remove Duplicates over a table where every other phrase
// repeats one before it. And the largest cases: 5,000,000 rows read (target
// under 3 s), a paste of 1,000,000 lines, and repainting a table that holds
// a cell of 10 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMimeData>
#include <QTableView>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFolder.h"
#include "app/ResultStore.h"
#include "app/ResultsCsv.h"
#include "app/ResultsFileReader.h"
#include "app/ResultsXlsx.h"
#include "app/ui/FMain.h"
#include "app/ui/ResultsModel.h"
#include "app/ui/ResultsTransfer.h"
#include "app/ui/TableHistory.h"
#include "base/ui/MessageBox.h"

using namespace quorvane;

namespace {

constexpr int kRows = 100000;

// kRows rows of a few words with counts in every column; with `repeats`,
// every other phrase is an earlier one in other letter case with a blank
// after it.
ResultStore Table(bool repeats) {
  const char* words[] = {"golf", "Clubs", "soccer", "tennis", "Shoes", "cheap", "best", "balls"};
  ResultStore store;
  for (int i = 0; i < kRows; ++i) {
    const int j = repeats && i % 2 == 1 ? i - 1 : i;
    std::string phrase =
        std::string(words[(j * 7) % 8]) + ' ' + words[(j * 3 + 1) % 8] + ' ' + std::to_string(j);
    if (repeats && i % 2 == 1) {
      for (char& c : phrase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      phrase += ' ';
    }
    store.Add(ResultRow{{std::to_string(i + 1), phrase, std::to_string((i * 104729LL) % 900000),
                         std::to_string((i * 31) % 1000) + ",000", std::to_string(i % 977),
                         std::to_string(i % 1013)},
                        false});
  }
  return store;
}

std::filesystem::path SavedResults() {
  static const std::filesystem::path file = [] {
    const auto path = BenchFolder() / "results.csv";
    std::ofstream out(path, std::ios::binary);
    out << BuildResultsCsv(Table(false));
    return path;
  }();
  return file;
}

// Open Results of `path` into a shown window, the view brought up to
// date; `rows` must come in.
void OpenIntoWindow(benchmark::State& state, const std::filesystem::path& path, int rows) {
  TfrmMain window;
  window.show();
  for (auto _ : state) {
    window.Transfer().OpenResultsFile(path.string());
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (window.Results().RowCount() != rows) {
      state.SkipWithError("rows missing");
      break;
    }
    window.Results().Clear();
    // Each round starts afresh: the rounds before must not pile up undo steps.
    window.History().Stack().clear();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

void BM_OpenResultsFile(benchmark::State& state) {
  OpenIntoWindow(state, SavedResults(), kRows);
}
BENCHMARK(BM_OpenResultsFile)->Unit(benchmark::kMillisecond);

void BM_ReadResultsFileOnly(benchmark::State& state) {
  const std::string path = SavedResults().string();
  for (auto _ : state) {
    ResultsFile file = ReadResultsFile(path);
    if (file.text.rows.size() != kRows) state.SkipWithError("rows missing");
    benchmark::DoNotOptimize(file);
  }
}
BENCHMARK(BM_ReadResultsFileOnly)->Unit(benchmark::kMillisecond);

std::filesystem::path SavedWorkbook() {
  static const std::filesystem::path file = [] {
    const auto path = BenchFolder() / "results.xlsx";
    if (WriteResultsXlsx(path, Table(false))) std::abort();
    return path;
  }();
  return file;
}

// Open Results of the workbook Save Results wrote (target: under 2 s).
void BM_OpenResultsWorkbook(benchmark::State& state) {
  OpenIntoWindow(state, SavedWorkbook(), kRows);
}
BENCHMARK(BM_OpenResultsWorkbook)->Unit(benchmark::kMillisecond);

// 5,000,000 short rows, as the saved form writes them (target: under 3 s).
void BM_OpenFiveMillionRows(benchmark::State& state) {
  constexpr int kMany = 5000000;
  const auto path = BenchFolder() / "many.csv";
  {
    std::ofstream out(path, std::ios::binary);
    out << "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";
    for (int i = 1; i <= kMany; ++i)
      out << '"' << i << "\",\"golf " << i % 977 << "\",\"" << i % 1000 << "\",\"\",\"\",\"\"\r\n";
  }
  OpenIntoWindow(state, path, kMany);
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenFiveMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

// A paste of 1,000,000 phrases, one a line.
void BM_PasteMillionLines(benchmark::State& state) {
  constexpr int kLines = 1000000;
  QString text;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("golf clubs %1\n").arg(i);
  QMimeData data;
  data.setText(text);
  TfrmMain window;
  window.show();
  for (auto _ : state) {
    window.Transfer().AddMimeData(data);
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (window.Results().RowCount() != kLines) state.SkipWithError("rows missing");
    window.Results().Clear();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PasteMillionLines)->Unit(benchmark::kMillisecond);

// A repaint of the table while one of its cells holds 10 MB.
void BM_RepaintWithLongCell(benchmark::State& state) {
  TfrmMain window;
  window.resize(900, 600);
  window.show();
  window.Results().AppendKeywords({{"golf", ""}, {"tees", ""}});
  window.Results().SetCell(0, kColKeywords, std::string(10 << 20, 'x'));
  QCoreApplication::processEvents();
  auto* table = window.findChild<QTableView*>(QStringLiteral("lvwItems"));
  for (auto _ : state) table->viewport()->repaint();
}
BENCHMARK(BM_RepaintWithLongCell)->Unit(benchmark::kMillisecond);

// The command with its question answered OK, in a shown window.
void BM_RemoveDuplicates(benchmark::State& state) {
  TfrmMain window;
  window.show();
  const ResultStore table = Table(true);
  for (auto _ : state) {
    state.PauseTiming();
    window.Results().Clear();
    // Each round starts afresh: the rounds before must not pile up undo steps.
    window.History().Stack().clear();
    std::vector<ResultRow> rows;
    for (int i = 0; i < table.Count(); ++i) rows.push_back(table.Row(i));
    window.Results().AppendRows(std::move(rows));
    QCoreApplication::processEvents();
    MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
    state.ResumeTiming();

    window.Transfer().RemoveDuplicates();
    QCoreApplication::processEvents();

    state.PauseTiming();
    if (window.Results().RowCount() != kRows / 2) {
      state.SkipWithError("wrong row count");
      break;
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RemoveDuplicates)->Unit(benchmark::kMillisecond);

}  // namespace
