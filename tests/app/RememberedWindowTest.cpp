// The main window opens where the user left it: size, place, maximised
// state and the column widths the user dragged, remembered in the user's
// settings folder and read by the next process, as a new run would.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QRect>
#include <QStringList>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

class RememberedWindowTest : public ::testing::Test {
 protected:
  // Runs a step of the window probe with this settings folder; its
  // "name=value" lines.
  std::map<std::string, std::string> Step(const std::string& step, const std::string& place = {},
                                          const std::string& columns = {}) {
    setenv("QUORVANE_PROBE_CONFIG", config_.Path().c_str(), 1);
    setenv("QUORVANE_PROBE_PLACE", place.c_str(), 1);
    setenv("QUORVANE_PROBE_COLUMNS", columns.c_str(), 1);
    const ChildResult run = RunChild({QUORVANE_WINDOW_PROBE, "--gtest_filter=Placement." + step});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    std::map<std::string, std::string> values;
    for (const QString& line : QString::fromStdString(run.out).split('\n')) {
      const auto equals = line.indexOf('=');
      if (equals > 0) values[line.left(equals).toStdString()] = line.mid(equals + 1).toStdString();
    }
    return values;
  }

  static QRect Rect(const std::string& text) {
    const QStringList f = QString::fromStdString(text).split(',');
    return f.size() == 4 ? QRect(f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()) : QRect();
  }

  static std::vector<int> Widths(const std::string& text) {
    std::vector<int> widths;
    for (const QString& f : QString::fromStdString(text).split(',')) widths.push_back(f.toInt());
    return widths;
  }

  TempFolder config_;
};

TEST_F(RememberedWindowTest, TheFirstRunOpensCentredAtTheDesignSize) {
  const auto shown = Step("Report");
  const QRect window = Rect(shown.at("geometry"));
  EXPECT_EQ(window.size(), QSize(914, 597));
  // Centred with its frame, which is only known once the window shows.
  EXPECT_LE((window.center() - Rect(shown.at("screen")).center()).manhattanLength(), 6);
  EXPECT_EQ(shown.at("maximized"), "0");
}

TEST_F(RememberedWindowTest, AFirstRunOnALowScreenKeepsTheTitleBarInReach) {
  // Twice the scale makes the screen lower than the window's design size.
  setenv("QT_SCALE_FACTOR", "2", 1);
  const auto shown = Step("Report");
  unsetenv("QT_SCALE_FACTOR");
  const QRect window = Rect(shown.at("geometry"));
  const QRect screen = Rect(shown.at("screen"));
  ASSERT_GT(window.height(), screen.height()) << "the screen is not lower than the window";
  // The geometry is the client area's: the frame's top edge comes above it.
  EXPECT_GE(window.top(), screen.top()) << "its title bar can be reached";
  EXPECT_LE(window.top(), screen.top() + 40) << "it starts at the top";
  EXPECT_LE(std::abs(window.center().x() - screen.center().x()), 6) << "centred across";
}

TEST_F(RememberedWindowTest, AWindowOpensWhereItWasClosed) {
  const char* const places[] = {"40,30,940,620", "10,60,914,597", "120,100,1000,650", "maximized"};
  for (const char* place : places) {
    SCOPED_TRACE(place);
    const auto closed = Step("Close", place);
    const auto shown = Step("Report");
    EXPECT_EQ(shown.at("maximized"), closed.at("maximized"));
    EXPECT_EQ(Rect(shown.at("geometry")), Rect(closed.at("geometry")));
  }
  EXPECT_EQ(Step("Report").at("maximized"), "1") << "the last state stays";
}

TEST_F(RememberedWindowTest, AWindowLeftOnAScreenThatIsGoneComesBackOnOne) {
  // Closed far right and below, where a second screen used to be.
  const auto closed = Step("Close", "4000,3000,920,600");
  const auto shown = Step("Report");
  const QRect window = Rect(shown.at("geometry"));
  const QRect screen = Rect(shown.at("screen"));
  EXPECT_EQ(window.size(), Rect(closed.at("geometry")).size());
  EXPECT_TRUE(screen.intersects(window)) << "it shows on the screen there is";
  EXPECT_GE(window.top(), screen.top()) << "its title bar can be reached";
  EXPECT_LT(window.top(), screen.bottom());
}

TEST_F(RememberedWindowTest, ColumnsTheUserSizedKeepTheirWidths) {
  Step("Close", "40,30,700,500", "3:150,5:60");
  const std::vector<int> widths = Widths(Step("Report").at("columns"));
  ASSERT_EQ(widths.size(), 6u);
  EXPECT_EQ(widths[3], 150);
  EXPECT_EQ(widths[5], 60);
  // The others still fit: their design widths, Keywords the rest.
  EXPECT_EQ(widths[0], 49);
  EXPECT_EQ(widths[2], 132) << "Searches: its design width";
  EXPECT_GT(widths[1], 132);
}

}  // namespace
