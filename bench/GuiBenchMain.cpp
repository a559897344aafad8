// main() of the window benchmarks: a QApplication on the offscreen platform
// (unless the caller chose another), then every benchmark the command line
// asks for; the benchmarks' program folder goes at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>

#include "BenchFolder.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  quorvane::UseBenchUserFolders();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(quorvane::BenchFolder());
  return 0;
}
