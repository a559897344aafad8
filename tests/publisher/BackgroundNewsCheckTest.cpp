// The start-up tick's decision against the simulated news service: when
// the newest item is announced, and that the silent update check follows
// in every case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "publisher/BackgroundNewsCheck.h"
#include "publisher/NewsService.h"
#include "publisher/RecordingMessages.h"
#include "sim/Simulator.h"
#include "support/FakeFetchHost.h"
#include "web/HttpClient.h"

namespace {

class BackgroundNewsCheckTest : public ::testing::Test {
 protected:
  BackgroundNewsCheckTest() {
    Scenario scenario;
    scenario.news.publisherId = "pub-gold";
    scenario.news.productCode = "QV-DEMO";
    sim_.SetScenario(scenario);
    sim_.Start();
    brand_.BranderType = "Gold";
    brand_.BranderCode = "QV-DEMO";
    brand_.GoldPublID = "pub-gold";
    brand_.GoldNewsBaseURL = sim_.BaseUrl() + "/gold";
    brand_.MasterPublID = "pub-master";
    brand_.MasterNewsBaseURL = sim_.BaseUrl() + "/master";
  }

  // Runs one tick with this marker and this newest-item reply.
  void Tick(const std::string& marker, std::optional<std::string> reply) {
    sim_.ChangeScenario([&](Scenario& s) { s.news.lastcodeReply = reply; });
    BackgroundNewsCheck check(
        news_, [&] { return marker; },
        [this](const std::string& text) { notices_.push_back(text); }, [this] { ++updateChecks_; });
    check.Run();
  }

  Simulator sim_;
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
  BrandSettings brand_;
  NewsService news_{client_, messages_, brand_};
  std::vector<std::string> notices_;
  int updateChecks_ = 0;
};

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
  int ticks = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.marker) + " / " + c.reply);
    notices_.clear();
    Tick(c.marker, std::string(c.reply));
    ++ticks;
    if (c.notice) {
      EXPECT_EQ(notices_, std::vector<std::string>{*c.notice});
    } else {
      EXPECT_TRUE(notices_.empty());
    }
    EXPECT_EQ(updateChecks_, ticks);
  }
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(BackgroundNewsCheckTest, GoldAsksTheGoldServiceForTheNewestItem) {
  Tick("", std::nullopt);
  const auto requests = sim_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/gold/getlastnews.php");
  EXPECT_EQ(requests[0].Field("prodtype")->value, "BG");
  EXPECT_EQ(requests[0].Field("memusername")->value, "pub-gold");
  EXPECT_EQ(requests[0].Field("conttype")->value, "lastcode");
  // The default items end with 103.
  EXPECT_EQ(notices_, std::vector<std::string>{"You've Got A Message!\r\nSpring update available"});
}

TEST_F(BackgroundNewsCheckTest, NoTierOrServiceDownStillRunsTheUpdateCheck) {
  brand_.BranderType = "Free";
  Tick("", std::nullopt);
  EXPECT_EQ(sim_.RequestCount(), 0u);
  EXPECT_EQ(updateChecks_, 1);

  brand_.BranderType = "Gold";
  sim_.Stop();
  Tick("", std::nullopt);
  EXPECT_TRUE(notices_.empty());
  EXPECT_EQ(updateChecks_, 2);
  EXPECT_TRUE(messages_.boxes.empty());
}

}  // namespace
