// Closing the main window while each network command waits for a server
// that never answers. The program's event loop runs as in the real
// program; the close must end the running request through its failure
// path, put up no further dialog, leave no working file, and let the
// event loop end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "keywords/ui/FCaptcha.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/PublisherServices.h"
#include "settings/LastNewsId.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"
#include "support/RawHttpServer.h"
#include "support/ServiceServer.h"

using namespace quorvane;

namespace {

using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

class CloseDuringNetworkTest : public MainWindowFixture {
 protected:
  // What a service answers; a service without an answer takes the
  // request and never answers. Set before the window starts.
  void Answer(const std::string& route, const Reply& reply) { Services().Serve(route, reply); }

  std::size_t Seen(const std::string& route) { return Services().Seen(route).size(); }

  // A Gold brand whose news service is the server.
  void Brand() {
    NewsBrand("acme-gold", "ACME-1")
        .Name("Acme Finder")
        .WriteSettingsFile(program_.Path(), server_.Url("/news/"));
  }

  // The main window on the server; without `tick` its start-up checks
  // are held back.
  void Open(bool tick = false) { OpenWindow(WindowOptions().WithStartUpTick(tick)); }

  // Shows the window, runs `start` (if any) from inside the program's
  // event loop, closes the window as soon as `ready` holds, and runs the
  // loop until it ends. Then checks what every case must leave: the
  // command returned, the loop ended soon after the close, no message box
  // or window is left, no working file. A table with rows not yet saved
  // asks `closeQuestion` first (the case scripts its answer), and nothing
  // else.
  void RunUntilClosed(const std::function<void()>& start, const std::function<bool()>& ready,
                      const std::string& closeQuestion = {}) {
    const std::set<std::string> filesBefore = ProgramFiles();
    window_->show();
    QObject guard;
    bool returned = start == nullptr;
    bool closed = false;
    bool timedOut = false;
    QElapsedTimer sinceClose;
    if (start) {
      QTimer::singleShot(0, &guard, [&] {
        start();
        returned = true;
      });
    }
    auto* poll = new QTimer(&guard);
    QObject::connect(poll, &QTimer::timeout, &guard, [&, poll] {
      if (closed || !ready()) return;
      closed = true;
      poll->stop();
      sinceClose.start();
      window_->close();
    });
    poll->start(5);
    QTimer::singleShot(10'000, &guard, [&] {
      timedOut = true;
      QCoreApplication::exit(1);
    });

    QApplication::exec();

    ASSERT_FALSE(timedOut) << (closed ? "the event loop did not end after the close"
                                      : "the request to close under never reached the server");
    EXPECT_LT(sinceClose.elapsed(), 2000) << "the loop ended long after the close";
    EXPECT_TRUE(returned) << "the command did not return";
    EXPECT_FALSE(window_->isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_FALSE(w->isVisible()) << "left open: " << w->objectName().toStdString();
    if (closeQuestion.empty()) {
      EXPECT_TRUE(MessageBox::ShownBoxes().empty())
          << "a box after the close: " << MessageBox::ShownBoxes().front().text;
    } else {
      ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u) << MessageBox::ShownBoxes().back().text;
      EXPECT_EQ(MessageBox::ShownBoxes()[0].kind, MessageBox::Kind::Question);
      EXPECT_EQ(MessageBox::ShownBoxes()[0].text, closeQuestion);
    }
    EXPECT_EQ(ProgramFiles(), filesBefore) << "a working file was left behind";
    EXPECT_TRUE(server_.WaitForClientCloses(1, std::chrono::seconds(2)))
        << "the waiting request was not cut";
  }

  std::set<std::string> ProgramFiles() const { return program_.Entries(); }

  RawHttpServer& server_ = StartServiceServer().Raw();
};

// A security-image page whose image comes from the server.
std::string SecurityImagePage(const RawHttpServer& server) {
  return "<p>Please enter the characters in the image</p>"
         "<input type=\"hidden\" name=\"random\" value=\"r1\">"
         "<input type=\"hidden\" name=\"seed\" value=\"golf\">"
         "<img src=\"" +
         server.Url("/image?r=r1") + "\">";
}

TEST_F(CloseDuringNetworkTest, GatherKeywordsWaitingForTheSuggestions) {
  Open();
  SetMainKeyword("golf");
  RunUntilClosed([this] { Find<QPushButton>("btnGatherKeyword")->click(); },
                 [this] { return Seen("suggest") == 1; });
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(Status(), kConnectionError);
}

TEST_F(CloseDuringNetworkTest, GatherKeywordsWithTheSecurityImageStillLoading) {
  Answer("suggest", RawHttpServer::Respond(200, SecurityImagePage(server_)));
  Open();
  SetMainKeyword("golf");
  RunUntilClosed([this] { Find<QPushButton>("btnGatherKeyword")->click(); },
                 [this] {
                   return Seen("image") == 1 &&
                          qobject_cast<TfrmCaptcha*>(QApplication::activeModalWidget()) != nullptr;
                 });
  EXPECT_EQ(Seen("answer"), 0u) << "no answer goes out after the close";
  EXPECT_EQ(window_->Results().RowCount(), 0);
}

TEST_F(CloseDuringNetworkTest, GatherKeywordsWaitingForTheAnswer) {
  Answer("suggest", RawHttpServer::Respond(200, SecurityImagePage(server_)));
  Answer("image", RawHttpServer::Respond(404, ""));
  Open();
  SetMainKeyword("golf");
  RunUntilClosed(
      [this] {
        WhenModalOpens([](QWidget* dialog) {
          Child<QLineEdit>(dialog, "edtPassword")->setText("abc");
          Child<QPushButton>(dialog, "btnOk")->click();
        });
        Find<QPushButton>("btnGatherKeyword")->click();
      },
      [this] { return Seen("answer") == 1; });
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(Status(), kConnectionError);
}

TEST_F(CloseDuringNetworkTest, GatherDataWaitingForAnEngine) {
  Answer("google", RawHttpServer::Respond(200, "<font size=-1>Results of about <b>7</b>"));
  Open();
  for (const char* keyword : {"golf", "tee"}) {
    const int row = window_->Results().RowCount();
    window_->Results().AppendKeywords({{keyword, ""}});
    for (int c : {kColGoogle, kColYahoo, kColMsn}) window_->Results().SetCell(row, c, "old");
  }
  MessageBox::SetNextChoice(Messages::Choice::Discard);
  RunUntilClosed(
      [this] {
        WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
        Find<QPushButton>("btnGatherData")->click();
      },
      [this] { return Seen("yahoo") == 1; }, "Save the 2 rows before closing?");
  EXPECT_EQ(window_->Results().Cell(0, kColGoogle), "7");
  EXPECT_EQ(window_->Results().Cell(0, kColYahoo), "old");
  EXPECT_EQ(window_->Results().Cell(1, kColGoogle), "old");
  EXPECT_EQ(Seen("msn"), 0u);
  EXPECT_EQ(Seen("google"), 1u);
  EXPECT_EQ(Find<QPushButton>("btnGatherData")->text(), "Gather Data");
  EXPECT_EQ(Status(), kConnectionError);
}

TEST_F(CloseDuringNetworkTest, CheckNewsWaitingForTheList) {
  Brand();
  Open();
  RunUntilClosed([this] { Find<QToolButton>("btnNews")->click(); },
                 [this] { return Seen("list") == 1; });
  EXPECT_TRUE(window_->NewsItems().empty());
}

TEST_F(CloseDuringNetworkTest, NewsWindowWaitingForABody) {
  Brand();
  Answer("list", RawHttpServer::Respond(200,
                                        "7^Spring offer^2024-03-01\xAF"
                                        "6^Tutorial^2024-02-01\xAFOK"));
  Open();
  RunUntilClosed(
      [this] {
        WhenModalOpens([](QWidget* dialog) {
          auto* news = qobject_cast<TfrmNews*>(dialog);
          ASSERT_NE(news, nullptr);
          news->lvwItems->setCurrentItem(news->lvwItems->topLevelItem(0));
        });
        Find<QToolButton>("btnNews")->click();
      },
      [this] { return Seen("details") == 1; });
  EXPECT_EQ(ReadLastNewsId(), "") << "no body was shown, so no marker";
}

TEST_F(CloseDuringNetworkTest, StartUpNewsCheckWaitingForTheNewestItem) {
  Brand();
  Open(/*tick=*/true);
  RunUntilClosed(nullptr, [this] { return Seen("newest") == 1; });
  EXPECT_EQ(window_->Publisher().Balloon(), nullptr);
}

TEST_F(CloseDuringNetworkTest, StartUpUpdateCheckWaitingForTheDescriptor) {
  Open(/*tick=*/true);
  RunUntilClosed(nullptr, [this] { return Seen("update") == 1; });
}

TEST_F(CloseDuringNetworkTest, CheckUpdatesWaitingForTheDescriptor) {
  Open();
  RunUntilClosed([this] { Find<QToolButton>("btnUpdate")->click(); },
                 [this] { return Seen("update") == 1; });
}

}  // namespace
