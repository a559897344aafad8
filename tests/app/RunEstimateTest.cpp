#include "app/RunEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

TEST(RunEstimateTest, TimeLeftIsRoundedForReading) {
  struct Case {
    std::int64_t ms;
    const char* text;
  };
  const Case cases[] = {
      {0, "about 5 s left"},        {1, "about 5 s left"},
      {4000, "about 5 s left"},     {5001, "about 10 s left"},
      {38000, "about 40 s left"},   {40000, "about 40 s left"},
      {59000, "about 60 s left"},   {60000, "about 1 min left"},
      {89000, "about 1 min left"},  {90000, "about 2 min left"},
      {150000, "about 3 min left"}, {59 * 60000, "about 59 min left"},
      {3600000, "about 1 h left"},  {3600000 + 5 * 60000, "about 1 h 5 min left"},
      {-100, "about 5 s left"},
  };
  for (const auto& c : cases) EXPECT_EQ(TimeLeftText(c.ms), c.text) << c.ms;
}

TEST(RunEstimateTest, NoEstimateUntilAFewRowsAreDone) {
  RunEstimate run;
  run.Start(1000, 0);
  EXPECT_EQ(run.Text(), "Row 1 of 1,000");
  run.RowDone(1, 300);
  run.RowDone(2, 600);
  EXPECT_FALSE(run.RemainingMs());
  EXPECT_EQ(run.Text(), "Row 3 of 1,000");
  run.RowDone(3, 900);
  ASSERT_TRUE(run.RemainingMs());
  EXPECT_EQ(*run.RemainingMs(), 997 * 300);
  EXPECT_EQ(run.Text(), "Row 4 of 1,000 \xc2\xb7 about 5 min left");
}

// A run's rows as the engines deliver them: how long each report took and
// how many rows it finished.
struct Report {
  std::int64_t afterMs;
  int rows;
};

// The estimates shown after each report of `reports`, in a run of `total`
// rows; none while there is no estimate yet.
struct Shown {
  std::int64_t atMs;
  int done;
  std::int64_t remainingMs;
};

std::vector<Shown> Follow(int total, const std::vector<Report>& reports) {
  RunEstimate run;
  run.Start(total, 0);
  std::vector<Shown> shown;
  std::int64_t now = 0;
  int done = 0;
  for (const Report& r : reports) {
    now += r.afterMs;
    done += r.rows;
    run.RowDone(done, now);
    if (const auto left = run.RemainingMs()) shown.push_back({now, done, *left});
  }
  return shown;
}

std::vector<Report> Rows(int count, std::int64_t eachMs) {
  return std::vector<Report>(static_cast<std::size_t>(count), Report{eachMs, 1});
}

std::vector<Report> operator+(std::vector<Report> a, const std::vector<Report>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(RunEstimateTest, ASteadyPaceGivesTheExactTimeLeft) {
  for (const Shown& s : Follow(200, Rows(200, 700)))
    EXPECT_EQ(s.remainingMs, (200 - s.done) * 700) << "after row " << s.done;
}

TEST(RunEstimateTest, AnUnevenPaceMovesTheEstimateSteadily) {
  // Engines that answer unevenly around one second a row. From one report
  // to the next the estimate counts down with the clock and moves by a
  // small share at most: never 30 s -> 10 s -> 20 s.
  std::vector<Report> noisy;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    noisy.push_back({100 + static_cast<std::int64_t>((seed >> 8) % 1801), 1});  // 0.1 s .. 1.9 s
  }
  std::vector<Report> alternating;
  for (int i = 0; i < 150; ++i) alternating = alternating + Rows(1, 100) + Rows(1, 1900);
  std::vector<Report> bursts;
  for (int i = 0; i < 60; ++i) bursts.push_back({5000, 5});  // five rows at once every 5 s
  struct Case {
    const char* name;
    std::vector<Report> reports;
  };
  const Case cases[] = {
      {"random pace", noisy},
      {"fast and slow rows in turn", alternating},
      {"rows finished in bursts", bursts},
      {"one page stalls for 30 s", Rows(100, 1000) + Rows(1, 30000) + Rows(199, 1000)},
      {"a few cached answers", Rows(50, 1000) + Rows(3, 5) + Rows(247, 1000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int total = 0;
    for (const Report& r : c.reports) total += r.rows;
    const std::vector<Shown> shown = Follow(total, c.reports);
    ASSERT_FALSE(shown.empty());
    for (std::size_t i = 1; i < shown.size(); ++i) {
      const double countedDown =
          static_cast<double>(shown[i - 1].remainingMs - (shown[i].atMs - shown[i - 1].atMs));
      const double moved = static_cast<double>(shown[i].remainingMs) - countedDown;
      EXPECT_LE(std::abs(moved), 0.2 * static_cast<double>(shown[i - 1].remainingMs) + 1000)
          << "after row " << shown[i].done << ": " << shown[i - 1].remainingMs << " ms, then "
          << shown[i].remainingMs << " ms";
    }
    // Once under way the estimate is near the truth: about a second a row.
    for (const Shown& s : shown) {
      if (s.done < 40 || total - s.done < 20) continue;
      const double truth = 1000.0 * (total - s.done);
      EXPECT_NEAR(static_cast<double>(s.remainingMs), truth, 0.3 * truth) << "after row " << s.done;
    }
  }
}

TEST(RunEstimateTest, ARunThatChangesPaceIsFollowed) {
  // 50 rows at 0.1 s, then the engines slow down to 1 s a row for good.
  const std::vector<Shown> shown = Follow(400, Rows(50, 100) + Rows(350, 1000));
  for (const Shown& s : shown) {
    if (s.done < 50 + 60 || s.done == 400) continue;
    const double truth = 1000.0 * (400 - s.done);
    EXPECT_NEAR(static_cast<double>(s.remainingMs), truth, 0.1 * truth) << "after row " << s.done;
  }
}

TEST(RunEstimateTest, TheLastRowEndsTheEstimate) {
  RunEstimate run;
  run.Start(4, 0);
  for (int done = 1; done <= 4; ++done) run.RowDone(done, done * 1000);
  EXPECT_EQ(run.Text(), "Row 4 of 4");
  // Reports past the end and twice the same count change nothing.
  run.RowDone(9, 9000);
  run.RowDone(4, 9500);
  EXPECT_EQ(run.Done(), 4);
  // An empty run says nothing odd.
  run.Start(0, 10000);
  EXPECT_EQ(run.Text(), "Row 0 of 0");
}

TEST(RunEstimateTest, AStoppedRunSaysWhereItStoppedAndHowToGoOn) {
  RunEstimate run;
  run.Start(10000, 0);
  run.RowDone(1880, 60000);
  EXPECT_EQ(run.StoppedText(),
            "Stopped at row 1,881 of 10,000 \xe2\x80\x94 Gather Missing Data goes on from there");
  run.Start(3, 0);
  EXPECT_EQ(run.StoppedText(),
            "Stopped at row 1 of 3 \xe2\x80\x94 Gather Missing Data goes on from there");
}

}  // namespace
