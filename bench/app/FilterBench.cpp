// The filter field over 100,000 rows, window shown on the offscreen
// platform: one keystroke (a letter typed or erased) filters the table and
// the view catches up.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchFolder.h"
#include "app/ui/FMain.h"

using namespace quorvane;

namespace {

constexpr int kRows = 100000;

void Settle() {
  QCoreApplication::processEvents();
}

// Phrases of a few words in mixed case, as a gathered list looks.
TfrmMain& FullWindow() {
  static TfrmMain* window = [] {
    BenchFolder();
    auto* w = new TfrmMain;
    w->show();
    const char* words[] = {"golf", "Clubs", "soccer", "tennis", "Shoes", "cheap", "best", "balls"};
    std::vector<NewKeyword> keywords;
    for (int i = 0; i < kRows; ++i) {
      keywords.push_back({std::string(words[(i * 7) % 8]) + ' ' + words[(i * 3 + 1) % 8] + ' ' +
                              std::to_string((i * 7919) % 100000),
                          {}});
    }
    w->Results().AppendKeywords(keywords);
    w->findChild<QAction*>("actFilter")->trigger();
    Settle();
    return w;
  }();
  return *window;
}

// Each iteration is one keystroke: the last letter of the filter typed,
// then (next iteration) erased again.
void BM_FilterKeystroke(benchmark::State& state) {
  TfrmMain& window = FullWindow();
  auto* field = window.findChild<QLineEdit*>("edtFilter");
  const QString stem = QString::fromLatin1(state.range(0) == 0 ? "golf -chea" : "s");
  field->setText(stem);
  Settle();
  bool typed = false;
  for (auto _ : state) {
    if (typed)
      field->backspace();
    else
      field->insert(QStringLiteral("p"));
    typed = !typed;
    Settle();
  }
  state.SetLabel(std::to_string(window.findChild<QTableView*>("lvwItems")->model()->rowCount()) +
                 " of " + std::to_string(window.Results().RowCount()) + " rows shown at the end");
  field->clear();
  Settle();
}
BENCHMARK(BM_FilterKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
