// The news commands on the real main window of a branded copy: a brand
// settings file in a temporary program folder, the news service
// simulated. The start-up notice, the news window's marker writes into the
// settings file, and the window closing under a running request.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/NewsBalloon.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/LastNewsId.h"
#include "sim/Simulator.h"
#include "support/FakeBrowser.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

class MainWindowNewsTest : public MainWindowFixture {
 protected:
  MainWindowNewsTest() { news_.Serve(sim_); }

  // A branded copy whose news service is the simulator; `marker` is a
  // last-news marker line, if any.
  void Brand(const std::string& type, const std::string& marker = "") {
    NewsBrand(news_).Type(type).Marker(marker).WriteSettingsFile(program_.Path(),
                                                                 sim_.BaseUrl() + "/acme/news");
  }

  // The main window, shown, with its start-up tick already run.
  std::unique_ptr<TfrmMain> StartedWindow() {
    auto window = NewWindow(WindowOptions().WithStartUpTick().Shown());
    for (int i = 0; i < 300 && window->Timer1().isActive(); ++i) QTest::qWait(10);
    EXPECT_FALSE(window->Timer1().isActive());
    return window;
  }

  static NewsBalloon* Balloon(TfrmMain& window) { return window.Publisher().Balloon(); }

  const NewsBrand news_ = NewsBrand("acme-gold", "ACME-1").Name("Acme Finder").ProductType("BG");
};

TEST_F(MainWindowNewsTest, UnreadNewsIsAnnouncedAtTheNewsButtonAfterStartUp) {
  Brand("Gold");
  auto window = StartedWindow();
  NewsBalloon* balloon = Balloon(*window);
  ASSERT_NE(balloon, nullptr);
  EXPECT_TRUE(balloon->isVisible());
  auto* btnNews = window->findChild<QToolButton*>(QStringLiteral("btnNews"));
  ASSERT_TRUE(btnNews->isVisible());
  const QPoint anchor = btnNews->mapToGlobal(QPoint(btnNews->width() / 2, btnNews->height() / 2));
  QPoint expected;
  NewsBalloon::ChoosePlacement(anchor, balloon->size(), balloon->screen()->geometry(), &expected);
  EXPECT_EQ(balloon->pos(), expected);

  const auto requests = sim_.Requests(SimService::kNewsList);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/acme/news/getlastnews.php");
  EXPECT_EQ(requests[0].Field("conttype")->value, "lastcode");
  EXPECT_EQ(ReadLastNewsId(), "") << "the notice does not touch the marker";
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, TheNoticeStandsBeforeTheUpdateCheckAsks) {
  Brand("Gold");
  // The update server answers late, so the window is pumped while it waits.
  sim_.ChangeScenario([](Scenario& s) { s.update.pace.delayMs = 1000; });
  ServiceEndpoints endpoints = LoopbackEndpoints();
  endpoints.liveUpdateBase = sim_.BaseUrl() + "/liveupdate/quorvane/";
  const auto owned = NewWindow(WindowOptions().At(endpoints).WithStartUpTick());
  TfrmMain& window = *owned;
  std::optional<bool> noticeWhenAsked;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!noticeWhenAsked && !sim_.Requests(SimService::kUpdate).empty())
      noticeWhenAsked = Balloon(window) != nullptr;
  });
  watch.start();
  window.show();
  for (int i = 0; i < 500 && !noticeWhenAsked; ++i) QTest::qWait(10);
  ASSERT_TRUE(noticeWhenAsked.has_value()) << "the tick asked no update server";
  EXPECT_TRUE(*noticeWhenAsked) << "the update check asked before the notice was shown";
  EXPECT_EQ(sim_.Requests(SimService::kNewsList).size(), 1u);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, ASecondNoticeReplacesTheFirst) {
  Brand("Gold");
  auto window = StartedWindow();
  QPointer<NewsBalloon> first = Balloon(*window);
  ASSERT_TRUE(first);
  const QString text = QStringLiteral(
      "You've Got A Message!\r\nA second item whose title is much longer than the first");
  window->ShowNewsNotice(text.toStdString());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull() || !first->isVisible()) << "the first notice is still shown";

  std::vector<NewsBalloon*> shown;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* balloon = qobject_cast<NewsBalloon*>(widget);
    if (balloon != nullptr && balloon->isVisible()) shown.push_back(balloon);
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], Balloon(*window));
  // The balloon is sized to its text: the one shown carries the second.
  EXPECT_EQ(shown[0]->size(), NewsBalloon(text).size());
  EXPECT_NE(shown[0]->size(),
            NewsBalloon(QStringLiteral("You've Got A Message!\r\nSpring update available")).size());
}

TEST_F(MainWindowNewsTest, ReadNewsIsNotAnnouncedAgain) {
  struct Case {
    const char* type;
    const char* marker;
    bool notice;
  };
  const Case cases[] = {{"Gold", "103", false}, {"Gold", "104", false}, {"Gold", "102", true},
                        {"Gold", "junk", true}, {"gold", "", false},    {"Free", "", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.marker);
    Brand(c.type, c.marker);
    sim_.ClearRequests();
    auto window = StartedWindow();
    EXPECT_EQ(Balloon(*window) != nullptr, c.notice);
    const bool tier = std::string(c.type) == "Gold";
    EXPECT_EQ(sim_.Requests(SimService::kNewsList).size(), tier ? 1u : 0u);
    EXPECT_EQ(sim_.Requests(SimService::kUpdate).size(), 0u)
        << "the loopback update port is closed";
  }
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, ShownItemsBecomeTheMarkerInTheSettingsFile) {
  Brand("Gold");
  auto window = StartedWindow();
  QTest::keyClick(window.get(), Qt::Key_Escape);  // closes the notice
  EXPECT_EQ(Balloon(*window), nullptr);

  bool opened = false;
  WhenModalOpens([&](QWidget* dialog) {
    auto* news = qobject_cast<TfrmNews*>(dialog);
    ASSERT_NE(news, nullptr);
    opened = true;
    ASSERT_EQ(news->lvwItems->topLevelItemCount(), 3);
    news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(2));
    EXPECT_EQ(ReadLastNewsId(), "103");
    news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(0));
    EXPECT_EQ(ReadLastNewsId(), "101");
    news->btnExit->click();
  });
  window->btnNewsClick();
  EXPECT_TRUE(opened);
  EXPECT_EQ(window->NewsItems().size(), 3u);
  EXPECT_EQ(sim_.Requests(SimService::kNewsDetails).size(), 2u);

  // The next start announces 103 again, since 101 was read last.
  window.reset();
  EXPECT_NE(Balloon(*StartedWindow()), nullptr);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, WebLinksInANewsItemOpenInTheBrowser) {
  FakeBrowser* browser = FakeBrowser::OfThisProcess();
  if (browser == nullptr) GTEST_SKIP() << "needs a process of its own";
  Brand("Gold");
  auto window = StartedWindow();
  QTest::keyClick(window.get(), Qt::Key_Escape);  // closes the notice
  std::vector<std::optional<std::string>> opened;
  WhenModalOpens([&](QWidget* dialog) {
    auto* news = qobject_cast<TfrmNews*>(dialog);
    ASSERT_NE(news, nullptr);
    for (const char* link : {"http://news.example/offer?id=3", "file:///etc/passwd"}) {
      emit news->prfEditorNews->anchorClicked(QUrl(QString::fromLatin1(link)));
      opened.push_back(browser->Opened(std::chrono::milliseconds(link[0] == 'h' ? 10000 : 300)));
    }
    news->btnExit->click();
  });
  window->btnNewsClick();
  EXPECT_EQ(opened, (std::vector<std::optional<std::string>>{"http://news.example/offer?id=3",
                                                             std::nullopt}));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, AnIdIsStoredInTheMarkerExactlyAsReceived) {
  Brand("Gold");
  // Bytes that the local text codec would change (not UTF-8).
  const std::string id = "7\xe9\xff\x80";
  sim_.ChangeScenario([&](Scenario& s) {
    s.news.listReply = id + "^Caf\xe9^2024-05-05\xAFOK";
    s.news.detailsReply = "<p>body</p>\xAFOK";
  });
  auto window = StartedWindow();
  QTest::keyClick(window.get(), Qt::Key_Escape);  // closes the notice
  bool opened = false;
  WhenModalOpens([&](QWidget* dialog) {
    auto* news = qobject_cast<TfrmNews*>(dialog);
    ASSERT_NE(news, nullptr);
    opened = true;
    ASSERT_EQ(news->lvwItems->topLevelItemCount(), 1);
    news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(0));
    news->btnExit->click();
  });
  window->btnNewsClick();
  EXPECT_TRUE(opened);
  const auto requests = sim_.Requests(SimService::kNewsDetails);
  ASSERT_EQ(requests.size(), 1u);
  ASSERT_NE(requests[0].Field("newsid"), nullptr);
  EXPECT_EQ(requests[0].Field("newsid")->value, id);
  EXPECT_EQ(ReadLastNewsId(), id);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(MainWindowNewsTest, ClosingTheWindowDuringTheListRequestEndsItQuietly) {
  Brand("Gold");
  auto window = StartedWindow();
  sim_.ChangeScenario([](Scenario& s) { s.news.pace = {3000, 0, 0}; });
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);  // a box by mistake must not wait
  MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
  QTimer::singleShot(300, window.get(), [&] { window->close(); });
  const auto start = std::chrono::steady_clock::now();
  window->btnNewsClick();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(Balloon(*window), nullptr) << "the notice went with the window";
  MessageBox::ResetTestState();
}

}  // namespace
