// Steps that window tests run in child processes of their own, on a
// display or settings folder the parent chose; never run by CTest itself.
// Each step prints what the parent reads as "name=value" lines.
//
//   IdleWindow.*  a main window in some state, left alone: the CPU time
//                 the whole process used meanwhile (idle-cpu-ms).
//   Placement.*   a window closed at a size and place (and with columns
//                 dragged), and what a window of a new process looks like.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "support/DuringGatherData.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/ModalDialogs.h"
#include "support/SettingsText.h"

using namespace quorvane;

namespace {

std::string Env(const char* name, const char* fallback = "") {
  const char* value = getenv(name);
  return value != nullptr ? value : fallback;
}

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

class IdleWindow : public MainWindowFixture {
 protected:
  // Lets the window settle, then runs the event loop untouched for the
  // time asked for (QUORVANE_PROBE_SECONDS, 5 by default) and prints the
  // CPU time the process used meanwhile, all its threads together.
  void MeasureIdle() {
    QTest::qWait(1500);
    const int seconds = std::stoi(Env("QUORVANE_PROBE_SECONDS", "5"));
    const double before = ProcessCpuMs();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = ProcessCpuMs() - before;
    std::printf("idle-cpu-ms=%.0f\nidle-ms=%d\n", used, seconds * 1000);
    std::fflush(stdout);
  }

  TfrmMain& Shown(const WindowOptions& options = {}) {
    TfrmMain& window = OpenWindow(options);
    window.show();
    QApplication::setActiveWindow(&window);
    return window;
  }

  void GatherData() {
    WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
    window_->btnGatherDataClick();
  }
};

TEST_F(IdleWindow, Empty) {
  Shown();
  MeasureIdle();
}

TEST_F(IdleWindow, WithRows) {
  Shown();
  AddRows({"golf clubs", "golf balls", "cheap golf shoes"});
  MeasureIdle();
}

TEST_F(IdleWindow, WithManyRows) {
  Shown();
  window_->Results().AppendKeywords(std::vector<NewKeyword>(10000, {"golf clubs", "1,200"}));
  MeasureIdle();
}

TEST_F(IdleWindow, FilterOpen) {
  Shown();
  AddRows({"golf clubs", "tennis balls"});
  Action("actFilter")->trigger();
  Find<QLineEdit>("edtFilter")->setText(QStringLiteral("golf"));
  MeasureIdle();
}

TEST_F(IdleWindow, AfterAFinishedRun) {
  StartSimulator();
  Shown();
  AddRows({"golf clubs", "golf balls", "cheap golf shoes"});
  GatherData();
  EXPECT_FALSE(Column(kColGoogle)[0].empty()) << "the run filled no cell";
  MeasureIdle();
}

TEST_F(IdleWindow, AfterAStoppedRun) {
  Shown(WindowOptions().At(StalledEngineEndpoints()));
  AddRows({"golf clubs", "golf balls", "cheap golf shoes"});
  DuringGatherData(*window_, [] {});
  MeasureIdle();
}

TEST_F(IdleWindow, NoticeShown) {
  Shown();
  AddRows({"golf clubs"});
  window_->ShowNewsNotice("You've Got A Message!\r\nSpring offers");
  MeasureIdle();
}

TEST_F(IdleWindow, WelcomePage) {
  Settings(Tag("ApplicationName", "Acme") + Tag("Welcome1", "<h1>Welcome</h1><p>Hello</p>"));
  Shown();
  MeasureIdle();
}

// --- Placement

class Placement : public MainWindowFixture {
 protected:
  // The settings folder the parent chose, so that a later step (a new
  // process) finds what this one left.
  Placement() { setenv("XDG_CONFIG_HOME", Env("QUORVANE_PROBE_CONFIG").c_str(), 1); }
};

// Shows a window, gives it QUORVANE_PROBE_PLACE ("x,y,w,h" or
// "maximized") and the column widths of QUORVANE_PROBE_COLUMNS
// ("column:width,…", as a drag would), and closes it.
TEST_F(Placement, Close) {
  TfrmMain& window = OpenWindow();
  window.show();
  QCoreApplication::processEvents();
  const QString place = QString::fromStdString(Env("QUORVANE_PROBE_PLACE"));
  if (place == QLatin1String("maximized")) {
    window.showMaximized();
  } else {
    const QStringList f = place.split(QLatin1Char(','));
    ASSERT_EQ(f.size(), 4);
    window.resize(f[2].toInt(), f[3].toInt());
    window.move(f[0].toInt(), f[1].toInt());
  }
  QCoreApplication::processEvents();
  QHeaderView* header = Table()->horizontalHeader();
  for (const QString& pair :
       QString::fromStdString(Env("QUORVANE_PROBE_COLUMNS")).split(',', Qt::SkipEmptyParts)) {
    const QStringList f = pair.split(QLatin1Char(':'));
    ASSERT_EQ(f.size(), 2);
    header->resizeSection(f[0].toInt(), f[1].toInt());
  }
  QCoreApplication::processEvents();
  const QRect g = window.geometry();
  std::printf("geometry=%d,%d,%d,%d\nmaximized=%d\n", g.x(), g.y(), g.width(), g.height(),
              window.isMaximized() ? 1 : 0);
  std::fflush(stdout);
  EXPECT_TRUE(window.close());
}

// Shows a window as a new run would and prints where it stands.
TEST_F(Placement, Report) {
  TfrmMain& window = OpenWindow();
  window.show();
  QTest::qWait(100);
  const QRect g = window.geometry();
  std::printf("geometry=%d,%d,%d,%d\nmaximized=%d\n", g.x(), g.y(), g.width(), g.height(),
              window.isMaximized() ? 1 : 0);
  QHeaderView* header = Table()->horizontalHeader();
  std::string columns;
  for (int c = 0; c < kColumnCount; ++c)
    columns += (c > 0 ? "," : "") + std::to_string(header->sectionSize(c));
  const QRect screen = window.screen()->availableGeometry();
  std::printf("columns=%s\nscreen=%d,%d,%d,%d\n", columns.c_str(), screen.x(), screen.y(),
              screen.width(), screen.height());
  std::fflush(stdout);
}

}  // namespace
