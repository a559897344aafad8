// The start-up tick's decision against the simulated news service: when
// the newest item is announced, and that the silent update check follows
// the notice, in every case.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "publisher/BackgroundNewsCheck.h"
#include "publisher/NewsService.h"
#include "sim/Simulator.h"
#include "support/FakeFetchHost.h"
#include "support/NewsBrand.h"
#include "support/RecordingMessages.h"
#include "web/HttpClient.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

class BackgroundNewsCheckTest : public ::testing::Test {
 protected:
  BackgroundNewsCheckTest() {
    const NewsBrand news = NewsBrand("pub-gold", "QV-DEMO").Master("pub-master");
    news.Serve(sim_);
    brand_ = news.Settings(sim_.BaseUrl() + "/gold", sim_.BaseUrl() + "/master");
  }

  // Runs one tick with this marker and this newest-item reply; returns
  // what it did, in order: each notice's text and kUpdateCheck.
  std::vector<std::string> Tick(const std::string& marker, std::optional<std::string> reply) {
    sim_.ChangeScenario([&](Scenario& s) { s.news.lastcodeReply = reply; });
    std::vector<std::string> steps;
    BackgroundNewsCheck check(
        news_, [&] { return marker; }, [&](const std::string& text) { steps.push_back(text); },
        [&] { steps.push_back(kUpdateCheck); });
    check.Run();
    return steps;
  }

  static constexpr const char* kUpdateCheck = "(silent update check)";

  Simulator sim_;
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
  BrandSettings brand_;
  NewsService news_{client_, messages_, brand_};
};

using Steps = std::vector<std::string>;

TEST_F(BackgroundNewsCheckTest, AnnouncesOnlyANewerItem) {
  struct Case {
    const char* marker;
    const char* reply;
    std::optional<std::string> notice;
  };
  const Case cases[] = {
      {"", "1^First\xAFOK", "You've Got A Message!\r\nFirst"},
      {"5", "5^Same\xAFOK", std::nullopt},
      {"7", "5^Older\xAFOK", std::nullopt},
      {"5", "7^Newer\xAFOK", "You've Got A Message!\r\nNewer"},
      {"", "OK", std::nullopt},
      {"-1", "OK", "You've Got A Message!\r\n"},
      {"abc", "3^After junk\xAFOK", "You've Got A Message!\r\nAfter junk"},
      {"2", "x^Not a number\xAFOK", std::nullopt},
      {"9", "10^Ten\xAFOK", "You've Got A Message!\r\nTen"},  // numbers, not texts
      {"", "4^\xAFOK", "You've Got A Message!\r\n"},
      {"", "INVALIDUSER", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.marker) + " / " + c.reply);
    const Steps steps = Tick(c.marker, std::string(c.reply));
    // The notice comes first, then the update check, exactly once each.
    EXPECT_EQ(steps, (c.notice ? Steps{*c.notice, kUpdateCheck} : Steps{kUpdateCheck}));
  }
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(BackgroundNewsCheckTest, GoldAsksTheGoldServiceForTheNewestItem) {
  const Steps steps = Tick("", std::nullopt);
  const auto requests = sim_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/gold/getlastnews.php");
  EXPECT_EQ(requests[0].Field("prodtype")->value, "BG");
  EXPECT_EQ(requests[0].Field("memusername")->value, "pub-gold");
  EXPECT_EQ(requests[0].Field("conttype")->value, "lastcode");
  // The default items end with 103.
  EXPECT_EQ(steps, (Steps{"You've Got A Message!\r\nSpring update available", kUpdateCheck}));
}

TEST_F(BackgroundNewsCheckTest, NoTierOrServiceDownStillRunsTheUpdateCheck) {
  brand_.BranderType = "Free";
  EXPECT_EQ(Tick("", std::nullopt), Steps{kUpdateCheck});
  EXPECT_EQ(sim_.RequestCount(), 0u);

  brand_.BranderType = "Gold";
  sim_.Stop();
  EXPECT_EQ(Tick("", std::nullopt), Steps{kUpdateCheck});
  EXPECT_TRUE(messages_.boxes.empty());
}

}  // namespace
