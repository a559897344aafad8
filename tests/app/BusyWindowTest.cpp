// A window whose request waits on the network: it answers input and
// screen readers as they come, Stop ends the wait at once, and a server
// that trickles its answer holds no command for longer than the client's
// total limit.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"
#include "support/RawHttpServer.h"
#include "support/ServiceServer.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Answer = MessageBox::Answer;
using Reply = RawHttpServer::Reply;
using Strings = std::vector<std::string>;

const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Records when a key press reached its widget, and whether a request was
// still waiting then.
class KeyWitness : public QObject {
 public:
  KeyWitness(QWidget* widget, HttpClient& client) : client_(client) {
    widget->installEventFilter(this);
  }
  std::atomic<Clock::rep> pressedAt{0};
  std::atomic<bool> whileBusy{false};

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && pressedAt == 0) {
      whileBusy = client_.Busy();
      pressedAt = Clock::now().time_since_epoch().count();
    }
    return false;
  }

 private:
  HttpClient& client_;
};

class BusyWindowTest : public MainWindowFixture {
 public:
  using MainWindowFixture::Services;

 protected:
  BusyWindowTest() { StartServiceServer(); }
  ~BusyWindowTest() override { EXPECT_FALSE(program_.Exists("test.html")); }
};

// The client pumps the window's messages only every 30 s here: whatever
// the window handles sooner, it handles in the wait itself. The events
// come from another thread, as the window system's and the accessibility
// bus's events do, while the window's thread waits for a server that
// took the request and says nothing.
TEST_F(BusyWindowTest, InputAndScreenReadersAreServedWhileARequestWaits) {
  OpenWindow(WindowOptions().Shown().WithClient({.connectingPump = 30s, .waitingPump = 30s}));
  SetMainKeyword("golf clubs");
  QLineEdit typing;
  typing.show();
  KeyWitness witness(&typing, window_->IdHTTP1());
  QPushButton* stop = Find<QPushButton>("btnGatherKeyword");

  double keyMs = -1;
  double accessibleMs = -1;
  double stopMs = -1;
  std::string accessibleName;
  std::thread user([&] {
    const auto waitedFor = Clock::now() + 10s;
    while (Services().Seen("suggest").empty() && Clock::now() < waitedFor)
      std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(100ms);  // the window is deep in its wait

    // A key press.
    const auto posted = Clock::now();
    QCoreApplication::postEvent(&typing,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QCoreApplication::postEvent(&typing,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a"));
    while (witness.pressedAt == 0 && Clock::now() < posted + 10s) std::this_thread::sleep_for(1ms);
    if (witness.pressedAt != 0)
      keyMs = Milliseconds(Clock::time_point(Clock::duration(witness.pressedAt.load())) - posted);

    // A screen reader asks for the name of a button and waits for it.
    std::promise<std::string> name;
    const auto asked = Clock::now();
    QMetaObject::invokeMethod(
        stop,
        [stop, &name] {
          QAccessibleInterface* button = QAccessible::queryAccessibleInterface(stop);
          name.set_value(button != nullptr ? button->text(QAccessible::Name).toStdString() : "");
        },
        Qt::QueuedConnection);
    auto answer = name.get_future();
    if (answer.wait_for(10s) == std::future_status::ready) {
      accessibleMs = Milliseconds(Clock::now() - asked);
      accessibleName = answer.get();
    }

    // Stop.
    const auto clicked = Clock::now();
    QMetaObject::invokeMethod(
        stop, [stop] { stop->click(); }, Qt::QueuedConnection);
    while (window_->IdHTTP1().Busy() && Clock::now() < clicked + 10s)
      std::this_thread::sleep_for(1ms);
    stopMs = Milliseconds(Clock::now() - clicked);
  });
  const auto start = Clock::now();
  window_->btnGatherKeywordClick();
  const auto took = Clock::now() - start;
  user.join();

  std::cout << "[ figures  ] key press to its widget " << keyMs << " ms, accessible name "
            << accessibleMs << " ms, Stop to the end of the request " << stopMs << " ms\n";
  RecordProperty("key_ms", std::to_string(keyMs));
  RecordProperty("accessible_ms", std::to_string(accessibleMs));
  RecordProperty("stop_ms", std::to_string(stopMs));
  EXPECT_TRUE(witness.whileBusy) << "the key came after the request had ended";
  EXPECT_EQ(typing.text(), QStringLiteral("a"));
  // Far below the 30 s to the next pump, with room for a loaded machine.
  EXPECT_GE(keyMs, 0);
  EXPECT_LT(keyMs, 2000);
  EXPECT_GE(accessibleMs, 0);
  EXPECT_LT(accessibleMs, 2000);
  EXPECT_EQ(accessibleName, "Stop");
  EXPECT_LT(stopMs, 2000);
  EXPECT_LT(took, 20s);
  EXPECT_TRUE(Services().Raw().WaitForClientCloses(1, 5s));
  EXPECT_EQ(Column(kColKeywords), Strings{});
  EXPECT_EQ(stop->text(), QStringLiteral("Gather Keywords"));
}

// --- Gather Keywords stopped by its button or by Esc.

struct StopCase {
  const char* name;
  bool byKey;
};
void PrintTo(const StopCase& c, std::ostream* os) {
  *os << c.name;
}

class GatherKeywordsStopTest : public BusyWindowTest,
                               public ::testing::WithParamInterface<StopCase> {};

TEST_P(GatherKeywordsStopTest, EndsTheRunAndLeavesTheTableAsItWas) {
  // Half a suggestion page, then silence: nothing of it may become a row.
  Services().Serve("suggest",
                   Reply()
                       .Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n"
                             "<table><tfoot></tfoot><tbody>\r\n"
                             "<tr><td>120</td><td><a href=\"/k\">golf balls</a></td></tr>\r\n")
                       .Hold());
  OpenWindow(WindowOptions().Shown());
  AddRows({"kept"});
  SetMainKeyword("golf clubs");
  // Keys go to the active window.
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  auto* button = Find<QPushButton>("btnGatherKeyword");
  QString caption;
  bool otherCommandsOff = false;
  When([this] { return !Services().Seen("suggest").empty() && window_->IdHTTP1().Busy(); },
       [&, button] {
         caption = button->text();
         otherCommandsOff = !Button("btnMainKeyword")->isEnabled() &&
                            !Button("btnAddKeyword")->isEnabled() && button->isEnabled();
         if (GetParam().byKey) {
           QTest::keyClick(window_.get(), Qt::Key_Escape);
         } else {
           button->click();
         }
       });
  const auto start = Clock::now();
  window_->btnGatherKeywordClick();
  EXPECT_LT(Clock::now() - start, 10s);
  EXPECT_EQ(caption, QStringLiteral("Stop"));
  EXPECT_TRUE(otherCommandsOff);
  EXPECT_EQ(button->text(), QStringLiteral("Gather Keywords"));
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(Column(kColKeywords), Strings{"kept"});
  EXPECT_EQ(Status(), kConnectionError);
  EXPECT_FALSE(window_->AbortRequested()) << "later requests must not be cut";
  EXPECT_TRUE(Services().Raw().WaitForClientCloses(1, 5s));
  EXPECT_EQ(Services().Seen("suggest").size(), 1u) << "a Stop click started no second run";

  // Esc does nothing once no run goes on.
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(Services().Seen("suggest").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Stops, GatherKeywordsStopTest,
                         ::testing::Values(StopCase{"Button", false}, StopCase{"Escape", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- A server that drips its answer, a byte at a time, never idle for long.

Reply Trickle() {
  return Reply()
      .Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
      .Drip(std::string(1000, 't'), 1, 100ms);
}

struct TrickleCase {
  const char* name;
  std::function<void(BusyWindowTest&, TfrmMain&)> run;
  std::vector<std::string> trickling;  // the services that drip
  std::vector<std::string> boxes;      // the messages the user sees
};
void PrintTo(const TrickleCase& c, std::ostream* os) {
  *os << c.name;
}

class TrickleTest : public BusyWindowTest, public ::testing::WithParamInterface<TrickleCase> {
 public:
  using MainWindowFixture::AddRows;
  using MainWindowFixture::SetMainKeyword;
};

TEST_P(TrickleTest, EndsAtTheTotalLimitLikeALostConnection) {
  const auto& c = GetParam();
  for (const auto& service : c.trickling) Services().Serve(service, Trickle());
  Services().Serve("update", RawHttpServer::Respond(200, "[APPLICATION]\r\nVersion=2.0\r\n"));
  NewsBrand("acme-gold", "ACME-1")
      .WriteSettingsFile(program_.Path(), Services().Raw().Url("/news/"));
  OpenWindow(WindowOptions().Shown().WithClient({.idleTimeout = 600ms, .totalLimit = 1500ms}));
  for (std::size_t i = 0; i < c.boxes.size(); ++i) MessageBox::SetNextAnswer(Answer::Ok);
  const auto start = Clock::now();
  c.run(*this, *window_);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, 1400ms);
  EXPECT_LT(took, 15s);
  Strings shown;
  for (const auto& box : MessageBox::ShownBoxes()) shown.push_back(box.text);
  EXPECT_EQ(shown, c.boxes);
  EXPECT_FALSE(window_->IdHTTP1().Busy());
  EXPECT_FALSE(window_->CommandsBusy());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TrickleTest,
    ::testing::Values(TrickleCase{"GatherKeywords",
                                  [](BusyWindowTest& t, TfrmMain& w) {
                                    static_cast<TrickleTest&>(t).SetMainKeyword("golf");
                                    w.btnGatherKeywordClick();
                                    EXPECT_EQ(w.Results().RowCount(), 0);
                                  },
                                  {"suggest"},
                                  {}},
                      TrickleCase{"GatherData",
                                  [](BusyWindowTest& t, TfrmMain& w) {
                                    static_cast<TrickleTest&>(t).AddRows({"golf"});
                                    WhenModalOpens([](QWidget* dialog) {
                                      Child<QPushButton>(dialog, "btnOk")->click();
                                    });
                                    w.btnGatherDataClick();
                                    EXPECT_EQ(w.Results().Cell(0, kColGoogle), "");
                                  },
                                  {"google", "yahoo", "msn"},
                                  {}},
                      TrickleCase{
                          "CheckNews",
                          [](BusyWindowTest&, TfrmMain& w) { w.btnNewsClick(); },
                          {"list"},
                          {"There is a trouble accessing the news site. Contact your provider.",
                           "There's no news for this application!"}},
                      TrickleCase{"CheckUpdates",
                                  [](BusyWindowTest& t, TfrmMain& w) {
                                    t.Services().Serve("update", Trickle());
                                    w.btnUpdateClick();
                                  },
                                  {},
                                  {"There's no new updates for this application!"}},
                      // The start-up check: the newest item drips, and the update check
                      // still runs after it.
                      TrickleCase{"StartUpCheck",
                                  [](BusyWindowTest& t, TfrmMain& w) {
                                    w.Timer1Timer();
                                    EXPECT_EQ(t.Services().Seen("update").size(), 1u)
                                        << "the update check was skipped";
                                  },
                                  {"newest"},
                                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
