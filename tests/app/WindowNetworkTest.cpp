// The main window against servers and input as they come in real use:
// addresses holding blanks and control bytes, start-up checks waiting on a
// server that accepted and then went silent, pages sent without an
// announced length. Every request goes to a raw server on 127.0.0.1 that
// records the request lines exactly as they arrived.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/MessageBox.h"
#include "publisher/ui/PublisherServices.h"
#include "support/MainWindowFixture.h"
#include "support/NewsBrand.h"
#include "support/RawHttpServer.h"
#include "support/ServiceServer.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Answer = MessageBox::Answer;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;
using Strings = std::vector<std::string>;

const std::string kConnectionError = "Connection error, check if you are connected and url exists.";
const std::string kCompleted = "Process completed sucessfull!";

// The first line of a request, as it arrived.
std::string RequestLine(const Request& r) {
  return r.bytes.substr(0, r.bytes.find("\r\n"));
}

const std::string kSuggestionPage =
    "<table><tfoot><tr><td>Count</td></tr></tfoot><tbody>\r\n"
    "<tr><td>120</td><td><a href=\"/k?golf+balls\">golf balls</a></td></tr>\r\n"
    "</tbody></table>\r\n";

const std::string kSameVersion = "[APPLICATION]\r\nVersion=2.0\r\n";

Reply Chunked(const std::string& body) {
  char size[16];
  std::snprintf(size, sizeof size, "%zx", body.size());
  return Reply().Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(size) +
                      "\r\n" + body + "\r\n0\r\n\r\n");
}

class WindowNetworkTest : public MainWindowFixture {
 protected:
  ~WindowNetworkTest() override { EXPECT_FALSE(program_.Exists("test.html")); }

  // How a service answers its n-th request (1 for the first); a service
  // without an answer takes every request and never says a word.
  using Answerer = ServiceServer::Answerer;
  void Serve(const std::string& route, Answerer answer) {
    Services().Serve(route, std::move(answer));
  }
  void Serve(const std::string& route, const Reply& reply) { Services().Serve(route, reply); }

  std::vector<Request> Seen(const std::string& route) { return Services().Seen(route); }

  // A Gold brand whose news service is the server at `newsPath`.
  void Brand(const std::string& newsPath = "/news/") {
    NewsBrand("acme-gold", "ACME-1")
        .Name("Acme Finder")
        .WriteSettingsFile(program_.Path(), server_.Url(newsPath));
  }

  // The main window on the server, shown, its start-up tick held back:
  // tests run it with StartUpCheck().
  void Open(HttpClient::Options clientOptions = {}) {
    OpenWindow(WindowOptions().Shown().WithClient(std::move(clientOptions)));
  }

  // The start-up tick, run the way its timer runs it.
  void StartUpCheck() { window_->Timer1Timer(); }

  // Also for the case tables below.
 public:
  using MainWindowFixture::AddRows;
  using MainWindowFixture::SetMainKeyword;

 protected:
  // Whether the running start-up check waits for its request on `route`.
  std::function<bool()> Waiting(const std::string& route) {
    return [this, route] {
      return !Seen(route).empty() && window_->Publisher().BackgroundCheckRunning();
    };
  }

  TempFolder scratch_;
  RawHttpServer& server_ = StartServiceServer().Raw();
};

// --- Addresses with bytes no request line can carry

TEST_F(WindowNetworkTest, TheSecurityImageAnswerGoesOutWithItsBlanksEncoded) {
  // Typed characters with a blank, hidden values with a blank and a line
  // break: each used to stop the answer before it was sent.
  Serve("suggest",
        RawHttpServer::Respond(200,
                               "<p>Please enter the characters in the image</p>"
                               "<input type=\"hidden\" name=\"random\" value=\"r 1\r\n2\">"
                               "<input type=\"hidden\" name=\"seed\" value=\"golf clubs\">"
                               "<img src=\"" +
                                   server_.Url("/image") + "\">"));
  Serve("image", RawHttpServer::Respond(404, ""));
  Serve("answer", RawHttpServer::Respond(200, kSuggestionPage));
  Open();
  SetMainKeyword("golf clubs");
  WhenModalOpens([](QWidget* dialog) {
    Child<QLineEdit>(dialog, "edtPassword")->setText("qv 7k");
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  window_->btnGatherKeywordClick();

  const auto answers = Seen("answer");
  ASSERT_EQ(answers.size(), 1u) << "the answer never left the program";
  EXPECT_EQ(RequestLine(answers[0]),
            "GET /keyword-suggestion-tool.html?password=qv%207k&random=r%201%0D%0A2"
            "&seed=golf%20clubs HTTP/1.1");
  EXPECT_EQ(Column(kColKeywords), Strings{"golf balls"});
  EXPECT_EQ(Status(), kCompleted);
}

// Keywords in other scripts go out as their UTF-8 bytes, each one
// percent-encoded: what the server receives, byte for byte.
struct ScriptCase {
  const char* name;
  std::string keyword;  // UTF-8, as typed
  std::string encoded;  // blanks as "+"
};
void PrintTo(const ScriptCase& c, std::ostream* os) {
  *os << c.name;
}

class KeywordScriptTest : public WindowNetworkTest,
                          public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(KeywordScriptTest, GoesOutPercentEncodedByteForByte) {
  const auto& c = GetParam();
  Serve("suggest",
        RawHttpServer::Respond(200,
                               "<table><tfoot><tr><td>Count</td></tr></tfoot><tbody>\r\n"
                               "<tr><td>12</td><td><a href=\"/k\">" +
                                   c.keyword + "</a></td></tr>\r\n</tbody></table>\r\n"));
  Serve("google", RawHttpServer::Respond(200, "<font size=-1>Results of about <b>3</b>"));
  Serve("yahoo", RawHttpServer::Respond(200, "none"));
  Serve("msn", RawHttpServer::Respond(200, "none"));
  Open();
  WhenModalOpens([&c](QWidget* dialog) {
    Child<QLineEdit>(dialog, "edtMainKeyword")->setText(QString::fromStdString(c.keyword));
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  window_->btnMainKeywordClick();
  ASSERT_EQ(window_->MainKeyword(), c.keyword);
  window_->btnGatherKeywordClick();
  ASSERT_EQ(Column(kColKeywords), Strings{c.keyword});
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
  window_->btnGatherDataClick();

  Strings lines;
  for (const auto& r : server_.Requests()) lines.push_back(RequestLine(r));
  EXPECT_EQ(lines, (Strings{
                       "GET /?seed=" + c.encoded +
                           "&adult_filter=remove_offensive&suggest=Hit+Me HTTP/1.1",
                       "GET /search?q=%22" + c.encoded + "%22 HTTP/1.1",
                       "GET /search?p=%22" + c.encoded + "%22 HTTP/1.1",
                       "GET /results.aspx?q=%22" + c.encoded + "%22 HTTP/1.1",
                   }));
  EXPECT_EQ(Column(kColGoogle), Strings{"3"});
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, KeywordScriptTest,
    ::testing::Values(ScriptCase{"French", "caf\xC3\xA9 cr\xC3\xA8me", "caf%C3%A9+cr%C3%A8me"},
                      ScriptCase{"Japanese",
                                 "\xE6\x9D\xB1\xE4\xBA\xAC \xE3\x83\x9B\xE3\x83\x86\xE3\x83\xAB",
                                 "%E6%9D%B1%E4%BA%AC+%E3%83%9B%E3%83%86%E3%83%AB"},
                      ScriptCase{"Emoji", "golf \xE2\x9B\xB3 \xF0\x9F\x8F\x8C\xEF\xB8\x8F",
                                 "golf+%E2%9B%B3+%F0%9F%8F%8C%EF%B8%8F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowNetworkTest, AKeywordFileCellWithATabGoesToEveryEngine) {
  Serve("google", RawHttpServer::Respond(200, "<font size=-1>Results of about <b>1,230</b>"));
  Serve("yahoo", RawHttpServer::Respond(200, "none"));
  Serve("msn", RawHttpServer::Respond(200, "none"));
  Open();
  scratch_.Write("keywords.txt", "golf\tclubs\r\ntee  time\x7F\r\n");
  window_->ImportKeywordFile(scratch_.File("keywords.txt").string());
  ASSERT_EQ(Column(kColKeywords), (Strings{"golf\tclubs", "tee  time\x7F"}));
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
  window_->btnGatherDataClick();

  Strings lines;
  for (const auto& r : server_.Requests()) lines.push_back(RequestLine(r));
  EXPECT_EQ(lines, (Strings{
                       "GET /search?q=%22golf%09clubs%22 HTTP/1.1",
                       "GET /search?p=%22golf%09clubs%22 HTTP/1.1",
                       "GET /results.aspx?q=%22golf%09clubs%22 HTTP/1.1",
                       "GET /search?q=%22tee++time%7F%22 HTTP/1.1",
                       "GET /search?p=%22tee++time%7F%22 HTTP/1.1",
                       "GET /results.aspx?q=%22tee++time%7F%22 HTTP/1.1",
                   }));
  EXPECT_EQ(Column(kColGoogle), (Strings{"1,230", "1,230"}));
}

TEST_F(WindowNetworkTest, ANewsAddressWithABlankIsSent) {
  Brand("/our news/");
  Serve("list", RawHttpServer::Respond(200, "OK"));
  Open();
  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnNewsClick();
  const auto lists = Seen("list");
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(RequestLine(lists[0]), "POST /our%20news/getlastnews.php HTTP/1.0");
  ASSERT_EQ(MessageBox::ShownBoxes().size(), 1u);
  EXPECT_EQ(MessageBox::ShownBoxes()[0].text, "There's no news for this application!");
}

// --- A start-up check that waits on a silent server

struct StallCase {
  const char* name;
  bool brand;         // with a news service: the check waits for the newest item
  const char* route;  // the request the check waits for
};
void PrintTo(const StallCase& c, std::ostream* os) {
  *os << c.name;
}

class StalledStartUpCheckTest : public WindowNetworkTest,
                                public ::testing::WithParamInterface<StallCase> {
 protected:
  void SetUp() override {
    // The request the check waits for has no answer; the others have.
    if (GetParam().brand) {
      Brand();
      Serve("update", RawHttpServer::Respond(200, kSameVersion));
    }
    Open();
  }
};

TEST_P(StalledStartUpCheckTest, CommandsWithoutTheNetworkStayAtHand) {
  AddRows({"b", "c", "a"});
  auto* model = Find<QTableView>("lvwItems")->model();
  // A heartbeat of the window: the longest gap between two beats while
  // the check waits is how long a click would wait for an answer.
  QElapsedTimer sinceBeat;
  qint64 longestGap = 0;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    if (sinceBeat.isValid() && window_->Publisher().BackgroundCheckRunning())
      longestGap = std::max(longestGap, sinceBeat.elapsed());
    sinceBeat.start();
  });
  heartbeat.start(10);

  bool done = false;
  QElapsedTimer sinceStall;
  When(
      [this, &sinceStall] {
        if (!Waiting(GetParam().route)()) return false;
        if (!sinceStall.isValid()) sinceStall.start();
        return sinceStall.elapsed() >= 1000;  // a while of waiting first
      },
      [&] {
        for (const char* name :
             {"btnMainKeyword", "btnGatherKeyword", "btnAddKeyword", "btnGatherData",
              "btnDeleteSelected", "btnDeleteAll", "btnNews", "btnUpdate", "btnSaveResults"})
          EXPECT_TRUE(Button(name)->isEnabled()) << name;
        QHeaderView* header = Find<QTableView>("lvwItems")->horizontalHeader();
        EXPECT_TRUE(header->sectionsClickable());

        // A typed phrase.
        WhenModalOpens([](QWidget* dialog) {
          Child<QLineEdit>(dialog, "edtAddKeyword")->setText("d");
          Child<QPushButton>(dialog, "btnOk")->click();
        });
        Button("btnAddKeyword")->click();
        EXPECT_EQ(Column(kColKeywords), (Strings{"b", "c", "a", "d"}));

        // Sorting by a header click.
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(kColKeywords) + 10, header->height() / 2));
        EXPECT_EQ(Column(kColKeywords), (Strings{"a", "b", "c", "d"}));

        // Ticking and deleting.
        model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
        MessageBox::SetNextAnswer(Answer::Ok);
        Button("btnDeleteSelected")->click();
        EXPECT_EQ(Column(kColKeywords), (Strings{"a", "c", "d"}));

        // Saving.
        FileDialogs::SetNextFileName(QString::fromStdString(scratch_.File("saved.csv").string()));
        Button("btnSaveResults")->click();
        EXPECT_TRUE(scratch_.Exists("saved.csv"));

        EXPECT_TRUE(window_->Publisher().BackgroundCheckRunning()) << "the check still waits";
        done = true;
        // The server never answers: the connection is lost.
        window_->IdHTTP1().Disconnect();
      });
  StartUpCheck();

  heartbeat.stop();
  EXPECT_TRUE(done);
  EXPECT_GT(longestGap, 0);
  EXPECT_LT(longestGap, 1000) << "the window must answer a click within a second";
  EXPECT_EQ(MessageBox::ShownBoxes().size(), 1u) << "only the delete question";
  EXPECT_EQ(window_->Publisher().Balloon(), nullptr);
  EXPECT_FALSE(window_->CommandsBusy());
}

INSTANTIATE_TEST_SUITE_P(Stalls, StalledStartUpCheckTest,
                         ::testing::Values(StallCase{"NewsCheck", true, "newest"},
                                           StallCase{"UpdateCheck", false, "update"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
  const char* name;
  const char* button;
  const char* route;  // the command's first request
  std::function<void(WindowNetworkTest&)> prepare;
  bool asksForTheSearchType;
  std::function<bool(TfrmMain&)> done;
};
void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.name;
}

class NetworkCommandDuringTheCheckTest : public WindowNetworkTest,
                                         public ::testing::WithParamInterface<CommandCase> {};

TEST_P(NetworkCommandDuringTheCheckTest, StartsAtOnceAndTheCheckGivesWayQuietly) {
  const auto& c = GetParam();
  Brand();
  Serve("suggest", RawHttpServer::Respond(200, kSuggestionPage));
  Serve("google", RawHttpServer::Respond(200, "<font size=-1>Results of about <b>7</b>"));
  Serve("yahoo", RawHttpServer::Respond(200, "none"));
  Serve("msn", RawHttpServer::Respond(200, "none"));
  Serve("list", RawHttpServer::Respond(200, "OK"));
  Serve("update", RawHttpServer::Respond(200, kSameVersion));
  Open();
  c.prepare(*this);

  QElapsedTimer sinceClick;
  When(Waiting("newest"), [&] {
    EXPECT_TRUE(Button(c.button)->isEnabled());
    if (c.asksForTheSearchType) {
      WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
    }
    sinceClick.start();
    Button(c.button)->click();
  });
  StartUpCheck();
  ASSERT_TRUE(sinceClick.isValid()) << "the click never came";
  qint64 startedAfter = -1;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        if (startedAfter < 0 && !Seen(c.route).empty()) startedAfter = sinceClick.elapsed();
        return c.done(*window_);
      },
      5000));
  EXPECT_LT(startedAfter, 1000) << "the command waited behind the start-up check";
  EXPECT_TRUE(server_.WaitForClientCloses(1, 2s)) << "the check's request was not cut";
  // The update check it did not get to is owed, not dropped: it follows the
  // user's command, silently, unless that command was Check Updates.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return !Seen("update").empty() && !window_->Publisher().BackgroundCheckRunning(); },
      5000));
  QTest::qWait(100);
  EXPECT_EQ(Seen("update").size(), 1u);
  const auto requests = server_.Requests();
  std::vector<std::string> order;
  for (const auto& r : requests) order.push_back(ServiceOf(r));
  const auto update = std::find(order.begin(), order.end(), "update");
  EXPECT_EQ(std::find(order.begin(), update, "newest"), order.begin()) << "the news check first";
  if (std::string(c.route) != "update") {
    EXPECT_LT(std::find(order.begin(), order.end(), c.route), update)
        << "the check that gave way sent nothing before the command";
  }
  EXPECT_EQ(window_->Publisher().Balloon(), nullptr);
  EXPECT_FALSE(window_->Publisher().BackgroundCheckRunning());
  EXPECT_FALSE(window_->CommandsBusy());
}

bool LastBoxIs(const std::string& text) {
  return !MessageBox::ShownBoxes().empty() && MessageBox::ShownBoxes().back().text == text;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, NetworkCommandDuringTheCheckTest,
    ::testing::Values(
        CommandCase{"GatherKeywords", "btnGatherKeyword", "suggest",
                    [](WindowNetworkTest& t) { t.SetMainKeyword("golf"); }, false,
                    [](TfrmMain& w) { return w.Results().RowCount() == 1; }},
        CommandCase{"GatherData", "btnGatherData", "google",
                    [](WindowNetworkTest& t) { t.AddRows({"golf"}); }, true,
                    [](TfrmMain& w) {
                      return w.Results().Cell(0, kColGoogle) == "7" && !w.CommandsBusy() &&
                             !w.Publisher().BackgroundCheckRunning();
                    }},
        CommandCase{"CheckNews", "btnNews", "list",
                    [](WindowNetworkTest&) { MessageBox::SetNextAnswer(Answer::Ok); }, false,
                    [](TfrmMain&) { return LastBoxIs("There's no news for this application!"); }},
        CommandCase{
            "CheckUpdates", "btnUpdate", "update",
            [](WindowNetworkTest&) { MessageBox::SetNextAnswer(Answer::Ok); }, false,
            [](TfrmMain&) { return LastBoxIs("There's no new updates for this application!"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowNetworkTest, ACommandPutOffBehindTheCheckIsDroppedWhenTheWindowCloses) {
  Brand();
  Serve("suggest", RawHttpServer::Respond(200, kSuggestionPage));
  Open();
  SetMainKeyword("golf");
  When(Waiting("newest"), [this] {
    Button("btnGatherKeyword")->click();
    window_->close();
  });
  StartUpCheck();
  QTest::qWait(200);
  EXPECT_TRUE(Seen("suggest").empty()) << "a request after the window has closed";
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

// --- The idle limit

TEST_F(WindowNetworkTest, TheIdleLimitEndsAStalledFetchLikeALostConnection) {
  Serve("suggest", Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\n<table>").Hold());
  Open({.idleTimeout = 300ms});
  SetMainKeyword("golf");
  QElapsedTimer clock;
  clock.start();
  window_->btnGatherKeywordClick();
  EXPECT_GE(clock.elapsed(), 300);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(Status(), kConnectionError);
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_FALSE(window_->CommandsBusy());
  EXPECT_TRUE(Button("btnGatherKeyword")->isEnabled());
  EXPECT_TRUE(server_.WaitForClientCloses(1, 2s));
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
}

TEST_F(WindowNetworkTest, AStartUpCheckLeftWithoutAnAnswerEndsByItselfAndQuietly) {
  Brand();
  Serve("update", RawHttpServer::Respond(200, kSameVersion));
  Open({.idleTimeout = 300ms});
  StartUpCheck();
  EXPECT_EQ(Seen("newest").size(), 1u);
  EXPECT_EQ(Seen("update").size(), 1u) << "the update check follows the news check that timed out";
  EXPECT_TRUE(MessageBox::ShownBoxes().empty());
  EXPECT_EQ(window_->Publisher().Balloon(), nullptr);
}

// --- Pages without an announced length

TEST_F(WindowNetworkTest, AChunkedReplyLeavesTheGaugeComplete) {
  Serve("suggest", Chunked(kSuggestionPage));
  Serve("update", Chunked(kSameVersion));
  Open();
  auto* gauge = Find<QProgressBar>("MainGauge");
  SetMainKeyword("golf");
  window_->btnGatherKeywordClick();
  ASSERT_EQ(window_->Results().RowCount(), 1);
  EXPECT_GT(gauge->maximum(), 0) << "drawn as busy after the transfer";
  EXPECT_EQ(gauge->value(), gauge->maximum());
  EXPECT_EQ(gauge->text(), "100%");

  MessageBox::SetNextAnswer(Answer::Ok);
  window_->btnUpdateClick();
  EXPECT_TRUE(LastBoxIs("There's no new updates for this application!"));
  EXPECT_GT(gauge->maximum(), 0);
  EXPECT_EQ(gauge->value(), gauge->maximum());
}

}  // namespace
