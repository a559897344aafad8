// The live-update check against the simulated update server, in a
// temporary program folder: the descriptor download, the version decision,
// the questions and the hand-over to the updater.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "publisher/LiveUpdate.h"
#include "sim/Simulator.h"
#include "support/FakeFetchHost.h"
#include "support/RecordingMessages.h"
#include "support/TempFolder.h"
#include "web/DownloadToFile.h"
#include "web/HttpClient.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Box = RecordingMessages::Box;
using Strings = std::vector<std::string>;

const std::string kNoUpdates = "There's no new updates for this application!";
const std::string kMissing =
    "The updater module is missing. Please reinstall again the current version!";
const std::string kClose =
    "To update your software the application will close to\n\rreplace some files. Do you want "
    "to update now?";

std::string Offer(const std::string& version) {
  return "There is a new update: (version " + version +
         ") available for your application!. Do you want download this update now?";
}

class LiveUpdateTest : public ::testing::Test {
 protected:
  void Publish(const std::string& version) {
    sim_.ChangeScenario([&](Scenario& s) { s.update.version = version; });
  }
  void AddUpdater() { folder_.Write("Updater.exe", "#!/bin/sh\n"); }

  TempFolder folder_{true};
  Simulator sim_;
  std::string base_ = (sim_.Start(), sim_.BaseUrl() + "/liveupdate/quorvane/");
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
  std::vector<std::pair<std::string, Strings>> launches_;
  int closes_ = 0;
  LiveUpdate update_{client_, messages_, base_,
                     [this](const std::filesystem::path& program, const Strings& args) {
                       launches_.emplace_back(program.string(), args);
                     },
                     [this] { ++closes_; }};
};

TEST_F(LiveUpdateTest, SameVersionIsNoUpdateAndOnlyTheButtonSaysSo) {
  update_.CheckUpdates(true);
  EXPECT_TRUE(messages_.boxes.empty());
  update_.CheckUpdates(false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  ASSERT_EQ(sim_.Requests().size(), 2u);
  EXPECT_EQ(sim_.Requests()[0].method, "GET");
  EXPECT_EQ(sim_.Requests()[0].target, "/liveupdate/quorvane/mainappupdate.inf");
  // The local copy stays after the check.
  EXPECT_NE(folder_.Read("mainappupdate.inf").find("Version=2.0"), std::string::npos);
}

TEST_F(LiveUpdateTest, NewerVersionIsQuotedAsWrittenAndHandsOverToTheUpdater) {
  Publish("3.00");
  AddUpdater();
  update_.CheckUpdates(true);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("3.00")}, {'C', kClose}}));
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].first, folder_.File("Updater.exe").string());
  EXPECT_EQ(launches_[0].second, (Strings{base_, "2.0", "A"}));
  EXPECT_EQ(closes_, 1);
}

TEST_F(LiveUpdateTest, RefusalsEndTheCheckQuietly) {
  Publish("2.5");
  AddUpdater();
  messages_.answers = {false};
  update_.CheckUpdates(false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("2.5")}}));

  messages_.boxes.clear();
  messages_.answers = {true, false};
  update_.CheckUpdates(false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("2.5")}, {'C', kClose}}));
  EXPECT_TRUE(launches_.empty());
  EXPECT_EQ(closes_, 0);
}

TEST_F(LiveUpdateTest, MissingUpdaterIsWarnedEvenInTheSilentCheck) {
  Publish("2.1");
  update_.CheckUpdates(true);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("2.1")}, {'W', kMissing}}));
  EXPECT_TRUE(launches_.empty());
  EXPECT_EQ(closes_, 0);
}

TEST_F(LiveUpdateTest, VersionsThatAreNotNewerOfferNothing) {
  for (const char* version : {"1.9", "2.00", "abc", "", "2,5", "2.00000001"}) {
    SCOPED_TRACE(version);
    Publish(version);
    messages_.boxes.clear();
    update_.CheckUpdates(true);
    EXPECT_TRUE(messages_.boxes.empty());
    update_.CheckUpdates(false);
    EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  }
  // Compared as numbers: 2.10 is newer than 2.0 (and older than 2.9).
  Publish("2.10");
  messages_.boxes.clear();
  messages_.answers = {false};
  update_.CheckUpdates(true);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("2.10")}}));
}

TEST_F(LiveUpdateTest, DescriptorIsReadLikeAnIniFile) {
  sim_.ChangeScenario([](Scenario& s) {
    s.update.raw =
        "[Other]\r\nVersion=9.0\r\n[application]\r\nname=Quorvane\r\nVERSION =  4.0 \r\n";
  });
  messages_.answers = {false};
  update_.CheckUpdates(true);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("4.0")}}));
}

TEST_F(LiveUpdateTest, UnreachableServerLeavesNoLocalCopy) {
  folder_.Write("mainappupdate.inf", "[APPLICATION]\r\nVersion=9.0\r\n");
  sim_.Stop();
  update_.CheckUpdates(true);
  EXPECT_TRUE(messages_.boxes.empty());
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));
  update_.CheckUpdates(false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));
}

TEST_F(LiveUpdateTest, MissingDescriptorOrAbortIsNoUpdate) {
  sim_.ChangeScenario([](Scenario& s) { s.update.missing = true; });
  update_.CheckUpdates(false);
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));

  sim_.ChangeScenario([](Scenario& s) {
    s.update.missing = false;
    s.update.version = "9.0";
    s.update.pace = {0, 10, 20};  // in pieces, so the abort meets a progress event
  });
  host_.abort = true;
  update_.CheckUpdates(false);
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}, {'I', kNoUpdates}}));
}

TEST_F(LiveUpdateTest, LocalCopyThatCannotBeCreatedIsNoUpdate) {
  // A folder in the way of the local copy, which cannot be replaced by a file.
  Publish("9.0");
  std::filesystem::create_directory(folder_.File("mainappupdate.inf"));
  folder_.Write("mainappupdate.inf/keep", "x");
  update_.CheckUpdates(false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  EXPECT_EQ(sim_.RequestCount(), 0u);
  EXPECT_TRUE(folder_.Exists("mainappupdate.inf/keep"));
}

TEST_F(LiveUpdateTest, DownloadReplacesTheFileAndPumpsOnceBeforeTheRequest) {
  folder_.Write("copy.inf", std::string(5000, 'x'));
  // Each pump with whether a request was running and what the server had
  // seen: the client pumps by itself while it works, so only a pump before
  // the request starts is the download's own.
  std::vector<std::pair<bool, std::size_t>> pumps;
  host_.onPump = [&] { pumps.emplace_back(client_.Busy(), sim_.RequestCount()); };
  ASSERT_TRUE(
      DownloadToFile(client_, base_ + "mainappupdate.inf", folder_.File("copy.inf")).complete);
  host_.onPump = nullptr;
  EXPECT_EQ(folder_.Read("copy.inf").substr(0, 13), "[APPLICATION]");
  EXPECT_LT(folder_.Read("copy.inf").size(), 200u);
  ASSERT_FALSE(pumps.empty());
  EXPECT_EQ(pumps.front(), std::make_pair(false, std::size_t{0}));
  EXPECT_EQ(std::count_if(pumps.begin(), pumps.end(), [](const auto& p) { return !p.first; }), 1);
  EXPECT_FALSE(host_.gauge.empty());

  EXPECT_FALSE(
      DownloadToFile(client_, sim_.BaseUrl() + "/fault/cut", folder_.File("copy.inf")).complete);
  EXPECT_FALSE(folder_.Exists("copy.inf"));
  EXPECT_FALSE(
      DownloadToFile(client_, sim_.BaseUrl() + "/fault/404", folder_.File("copy.inf")).complete);
  EXPECT_FALSE(folder_.Exists("copy.inf"));
}

}  // namespace
