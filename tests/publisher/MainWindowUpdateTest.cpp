// "Check Updates" and the start-up tick on the real main window, with the
// live-update server simulated and a stand-in updater in a temporary
// program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/ui/FMain.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "sim/Simulator.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Answer = MessageBox::Answer;
using Kind = MessageBox::Kind;

const std::string kNoUpdates = "There's no new updates for this application!";

std::string Offer(const std::string& version) {
  return "There is a new update: (version " + version +
         ") available for your application!. Do you want download this update now?";
}

std::vector<std::pair<Kind, std::string>> Boxes() {
  std::vector<std::pair<Kind, std::string>> boxes;
  for (const auto& shown : MessageBox::ShownBoxes()) boxes.emplace_back(shown.kind, shown.text);
  return boxes;
}

// The window on the simulated update server, Timer1 running as the
// program starts it.
class MainWindowUpdateTest : public MainWindowFixture {
 protected:
  MainWindowUpdateTest() { OpenWindow(WindowOptions().At(Endpoints(base_)).WithStartUpTick()); }

  static ServiceEndpoints Endpoints(const std::string& base) {
    ServiceEndpoints endpoints = LoopbackEndpoints();
    endpoints.liveUpdateBase = base + "/liveupdate/quorvane/";
    return endpoints;
  }

  void Publish(const std::string& version) {
    sim_.ChangeScenario([&](Scenario& s) { s.update.version = version; });
  }

  // An updater that writes its arguments, one a line, beside itself.
  void AddRecordingUpdater() {
    program_.Write("Updater.exe",
                   "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                   "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
    std::filesystem::permissions(program_.File("Updater.exe"), std::filesystem::perms::owner_all);
  }

  // The button tests run without the start-up tick: on a slow machine it
  // can come due inside the button's check and run a check of its own.
  void StopTheTick() { window_->Timer1().stop(); }

  bool WaitForFile(const std::string& name) {
    for (int i = 0; i < 500 && !program_.Exists(name); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return program_.Exists(name);
  }

  std::string base_ = StartSimulator().BaseUrl();
};

TEST_F(MainWindowUpdateTest, SameVersionAnswersNoUpdatesAndMovesTheGauge) {
  StopTheTick();
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_EQ(Boxes(), (decltype(Boxes()){{Kind::Information, kNoUpdates}}));
  ASSERT_EQ(sim_.Requests(SimService::kUpdate).size(), 1u);
  EXPECT_EQ(sim_.Requests(SimService::kUpdate)[0].target, "/liveupdate/quorvane/mainappupdate.inf");
  auto* gauge = window_->findChild<QProgressBar*>(QStringLiteral("MainGauge"));
  ASSERT_NE(gauge, nullptr);
  EXPECT_GT(gauge->maximum(), 0);
  EXPECT_EQ(gauge->value(), gauge->maximum());
  EXPECT_TRUE(program_.Exists("mainappupdate.inf"));
}

TEST_F(MainWindowUpdateTest, AcceptedUpdateStartsTheUpdaterWithItsArgumentsAndCloses) {
  StopTheTick();
  Publish("3.00");
  AddRecordingUpdater();
  window_->show();
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_EQ(Boxes(), (decltype(Boxes()){
                         {Kind::Confirm, Offer("3.00")},
                         {Kind::Confirm,
                          "To update your software the application will close to\n\rreplace some "
                          "files. Do you want to update now?"}}));
  EXPECT_FALSE(window_->isVisible());
  ASSERT_TRUE(WaitForFile("args.txt"));
  EXPECT_EQ(program_.Read("args.txt"), base_ + "/liveupdate/quorvane/\n2.0\nA\n");
}

TEST_F(MainWindowUpdateTest, MissingUpdaterIsWarnedAndTheWindowStays) {
  StopTheTick();
  Publish("2.1");
  window_->show();
  MessageBox::SetNextAnswer(Answer::Ok);
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_EQ(Boxes(),
            (decltype(Boxes()){
                {Kind::Confirm, Offer("2.1")},
                {Kind::Warning,
                 "The updater module is missing. Please reinstall again the current version!"}}));
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowUpdateTest, UnreachableServerIsSilentFromTheTickAndAnsweredFromTheButton) {
  StopTheTick();
  sim_.Stop();
  window_->Timer1Timer();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(program_.Exists("mainappupdate.inf"));
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_EQ(Boxes(), (decltype(Boxes()){{Kind::Information, kNoUpdates}}));
  EXPECT_FALSE(program_.Exists("mainappupdate.inf"));
}

TEST_F(MainWindowUpdateTest, TheTickRunsTheSilentCheckOnce) {
  Publish("2.5");
  MessageBox::SetNextAnswer(Answer::Cancel);
  window_->show();
  ASSERT_TRUE(window_->Timer1().isActive());
  // The tick fires 100 ms after the loop runs, asks once and stops the timer.
  for (int i = 0; i < 300 && MessageBox::ShownBoxes().empty(); ++i) QTest::qWait(10);
  EXPECT_EQ(Boxes(), (decltype(Boxes()){{Kind::Confirm, Offer("2.5")}}));
  EXPECT_FALSE(window_->Timer1().isActive());
  QTest::qWait(300);
  EXPECT_EQ(sim_.Requests(SimService::kUpdate).size(), 1u);
}

TEST_F(MainWindowUpdateTest, ClosingTheWindowDuringTheDownloadEndsItQuietly) {
  window_->Timer1().stop();
  window_->show();
  sim_.ChangeScenario([](Scenario& s) {
    s.update.version = "9.0";
    s.update.pace = {0, 4, 200};  // a slow descriptor
  });
  // Answered, so that a box shown by mistake fails the test instead of waiting.
  MessageBox::SetNextAnswer(Answer::Ok);
  QTimer::singleShot(300, window_.get(), [this] { window_->close(); });
  const auto start = std::chrono::steady_clock::now();
  window_->btnUpdateClick();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(Boxes().empty()) << "no box after the window has closed";
  EXPECT_FALSE(program_.Exists("mainappupdate.inf"));
  MessageBox::ResetTestState();
}

// With rows not yet saved, the update's close asks about them before the
// updater starts: Cancel (or a save that fails) keeps the window open with
// no updater running; Save that succeeds and Don't Save start it and close
// without asking again.
TEST_F(MainWindowUpdateTest, UnsavedRowsAreAskedAboutBeforeTheUpdaterStarts) {
  StopTheTick();
  Publish("3.0");
  AddRecordingUpdater();
  using Choice = Messages::Choice;
  struct Case {
    const char* name;
    Choice choice;
    const char* saveAs;  // the file the save dialog gives; "" cancels it
    bool updated;
  };
  const Case cases[] = {
      {"Cancel", Choice::Cancel, nullptr, false},
      {"Save, the dialog cancelled", Choice::Go, "", false},
      {"Save", Choice::Go, "kept.csv", true},
      {"Don't Save", Choice::Discard, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenWindow(WindowOptions().At(Endpoints(base_)));
    window_->show();
    window_->Results().AppendKeywords({{"golf", ""}, {"tees", ""}});
    std::filesystem::remove(program_.File("args.txt"));
    MessageBox::ResetTestState();
    MessageBox::SetNextAnswer(Answer::Ok);
    MessageBox::SetNextAnswer(Answer::Ok);
    MessageBox::SetNextChoice(c.choice);
    if (c.saveAs != nullptr)
      FileDialogs::SetNextFileName(
          *c.saveAs ? QString::fromStdString(program_.File(c.saveAs).string()) : QString());
    window_->btnUpdateClick();

    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2],
              std::make_pair(Kind::Question, std::string("Save the 2 rows before closing?")));
    EXPECT_EQ(window_->isVisible(), !c.updated);
    EXPECT_EQ(window_->Results().RowCount(), 2);
    if (c.updated) {
      EXPECT_TRUE(WaitForFile("args.txt"));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      EXPECT_FALSE(program_.Exists("args.txt")) << "the updater must not run";
    }
    if (c.saveAs != nullptr && *c.saveAs) {
      EXPECT_NE(program_.Read(c.saveAs).find("\"tees\""), std::string::npos);
    }
  }
}

}  // namespace
