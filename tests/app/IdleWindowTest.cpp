// A window that nobody touches uses no CPU: no layout pass that asks for
// the next one, no timer that keeps ticking. Real windows on a virtual X
// display, in the states a user leaves them in, each in a process of its
// own (support/WindowProbe.cpp), with Qt's own look and with the GTK
// platform theme that GNOME and Xfce sessions give every Qt program.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QFile>
#include <QLibraryInfo>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/RunningChild.h"

using namespace quorvane;
using namespace std::chrono_literals;

namespace {

// Under 2 % of one core, as a laptop's idle program must be.
constexpr double kMostCpuShare = 0.02;

const char* const kStates[] = {"Empty",       "WithRows",          "WithManyRows",
                               "FilterOpen",  "AfterAFinishedRun", "AfterAStoppedRun",
                               "NoticeShown", "WelcomePage"};

// A virtual display for the test's windows; DISPLAY names it meanwhile.
class VirtualDisplay {
 public:
  VirtualDisplay()
      : xvfb_({QUORVANE_TEST_XVFB, "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
               "tcp"}) {
    const auto number = xvfb_.ReadLine(30s);
    if (number && !number->empty()) name_ = ":" + *number;
  }
  const std::string& Name() const { return name_; }

 private:
  RunningChild xvfb_;
  std::string name_;
};

struct Measured {
  std::optional<double> cpuMs;
  double idleMs = 0;
  bool passed = false;
  std::string output;
};

// Runs every state at once, each in its own process, and reads what each
// measured.
std::map<std::string, Measured> MeasureStates() {
  std::vector<std::unique_ptr<RunningChild>> probes;
  for (const char* state : kStates) {
    probes.push_back(std::make_unique<RunningChild>(std::vector<std::string>{
        QUORVANE_WINDOW_PROBE, std::string("--gtest_filter=IdleWindow.") + state}));
  }
  std::map<std::string, Measured> results;
  for (std::size_t i = 0; i < probes.size(); ++i) {
    Measured& m = results[kStates[i]];
    while (const auto line = probes[i]->ReadLine(90s)) {
      m.output += *line + "\n";
      if (line->rfind("idle-cpu-ms=", 0) == 0) m.cpuMs = std::stod(line->substr(12));
      if (line->rfind("idle-ms=", 0) == 0) m.idleMs = std::stod(line->substr(8));
    }
    const int status = probes[i]->KillAndWait(SIGKILL);
    m.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return results;
}

class IdleWindowTest : public ::testing::TestWithParam<const char*> {};

TEST_P(IdleWindowTest, UsesNoCpuInAnyState) {
  const std::string theme = GetParam();
  if (!theme.empty()) {
    // The package scripts/bootstrap installs; without it Qt would quietly
    // fall back to its own look and this case would prove nothing.
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platformthemes/libq") + QString::fromStdString(theme) +
                           QStringLiteral(".so");
    ASSERT_TRUE(QFile::exists(plugin)) << plugin.toStdString() << " is missing";
  }
  const VirtualDisplay display;
  ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start";
  setenv("DISPLAY", display.Name().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  if (theme.empty()) {
    unsetenv("QT_QPA_PLATFORMTHEME");
  } else {
    setenv("QT_QPA_PLATFORMTHEME", theme.c_str(), 1);
  }
  const auto results = MeasureStates();
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  unsetenv("QT_QPA_PLATFORMTHEME");

  for (const auto& [state, m] : results) {
    SCOPED_TRACE(state);
    ASSERT_TRUE(m.passed && m.cpuMs) << "the window did not get there:\n" << m.output;
    std::printf("idle %s%s: %.0f ms of CPU in %.0f ms\n", state.c_str(),
                theme.empty() ? "" : (" (" + theme + ")").c_str(), *m.cpuMs, m.idleMs);
    EXPECT_LT(*m.cpuMs, kMostCpuShare * m.idleMs)
        << "an idle window used " << *m.cpuMs << " ms of CPU in " << m.idleMs << " ms";
  }
}

INSTANTIATE_TEST_SUITE_P(Themes, IdleWindowTest, ::testing::Values("", "gtk3"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).empty() ? std::string("QtOwnLook")
                                                                  : std::string("Gtk3Theme");
                         });

}  // namespace
