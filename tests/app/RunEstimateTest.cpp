#include "app/RunEstimate.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(RunEstimateTest, FollowsTheRecentPaceAndEndsWithoutEstimate) {
  RunEstimate run;
  run.Start(100, 0);
  std::int64_t now = 0;
  for (int done = 1; done <= 50; ++done) run.RowDone(done, now += 100);
  EXPECT_EQ(*run.RemainingMs(), 50 * 100);
  // The pace changes: after a full window of slower rows only they count.
  for (int done = 51; done <= 50 + static_cast<int>(RunEstimate::kAveragedRows); ++done)
    run.RowDone(done, now += 1000);
  EXPECT_EQ(*run.RemainingMs(), (100 - 70) * 1000);
  // Rows reported together share the time.
  run.RowDone(72, now += 2000);
  EXPECT_EQ(*run.RemainingMs(), 28 * 1000);
  run.RowDone(100, now += 28000);
  EXPECT_EQ(run.Text(), "Row 100 of 100");
  // An empty run says nothing odd.
  run.Start(0, now);
  EXPECT_EQ(run.Text(), "Row 0 of 0");
}

}  // namespace
