// "Gather Keywords" and "Gather Data" on the real main window when a
// service's answer is cut off or reset. The part that did arrive already
// looks like a good page, so a cut taken for a success would show as rows
// or counts. A failed fetch must leave the table as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/ui/FMain.h"
#include "base/ui/MessageBox.h"
#include "support/LoopbackEndpoints.h"
#include "support/MainWindowFixture.h"
#include "support/RawHttpServer.h"

using namespace quorvane;

namespace {

using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

const std::string kSuggestions =
    "<table><tfoot></tfoot>\r\n<tr><td>1,234</td><td><a href=\"/x\">golf tees</a></td></tr>\r\n"
    "<tr><td>99</td><td><a href=\"/y\">golf bags</a></td></tr>\r\n";
const std::string kSecurityImagePage =
    "<p>Please enter the characters in the image</p>"
    "<input type=\"hidden\" name=\"random\" value=\"r1\">"
    "<input type=\"hidden\" name=\"seed\" value=\"golf\">";

std::string Page(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// How the answer ends early.
struct Fault {
  const char* name;
  bool chunked;
  bool sendPart;  // the body's first part is sent
  bool reset;     // a TCP reset instead of a close
  bool headers;   // the response head is sent
};
void PrintTo(const Fault& f, std::ostream* os) {
  *os << f.name;
}

Reply Cut(const Fault& f, const std::string& part) {
  Reply reply;
  if (f.headers) {
    if (f.chunked) {
      char size[16];
      std::snprintf(size, sizeof size, "%zx", part.size() + 100);
      reply.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(size) +
                 "\r\n");
    } else {
      reply.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(part.size() + 100) +
                 "\r\n\r\n");
    }
    if (f.sendPart) reply.Send(part);
  }
  if (f.reset) reply.Reset();
  return reply;
}

class GatheringFaultsTest : public MainWindowFixture, public ::testing::WithParamInterface<Fault> {
 protected:
  GatheringFaultsTest() { OpenWindow(WindowOptions().At(EndpointsAt(server_.Url("")))); }
  ~GatheringFaultsTest() override {
    EXPECT_TRUE(MessageBox::ShownBoxes().empty());
    EXPECT_FALSE(program_.Exists("test.html"));
  }

  // Answers for request targets starting with a key; set before any request.
  void Answer(const std::string& prefix, Reply reply) {
    const std::lock_guard lock(mutex_);
    answers_[prefix] = std::move(reply);
  }

  std::size_t Seen(const std::string& prefix) const {
    std::size_t n = 0;
    for (const auto& r : server_.Requests()) n += r.target.starts_with(prefix) ? 1 : 0;
    return n;
  }

  std::mutex mutex_;
  std::map<std::string, Reply> answers_;
  RawHttpServer server_{[this](const Request& r) {
    const std::lock_guard lock(mutex_);
    for (const auto& [prefix, reply] : answers_)
      if (r.target.starts_with(prefix)) return reply;
    return RawHttpServer::Respond(404, "");
  }};
};

TEST_P(GatheringFaultsTest, GatherKeywordsAddsNothingWhenTheSuggestionsAreCut) {
  Answer("/?seed=", Cut(GetParam(), kSuggestions));
  SetMainKeyword("golf");
  window_->btnGatherKeywordClick();
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(Status(), kConnectionError);
  EXPECT_EQ(Seen("/keyword-suggestion-tool.html"), 0u);
}

TEST_P(GatheringFaultsTest, GatherKeywordsAddsNothingWhenTheAnswerIsCut) {
  Answer("/?seed=", Reply().Send(Page(kSecurityImagePage)));
  Answer("/keyword-suggestion-tool.html", Cut(GetParam(), kSuggestions));
  SetMainKeyword("golf");
  WhenModalOpens([](QWidget* dialog) {
    Child<QLineEdit>(dialog, "edtPassword")->setText("abc");
    Child<QPushButton>(dialog, "btnOk")->click();
  });
  window_->btnGatherKeywordClick();
  EXPECT_EQ(Seen("/keyword-suggestion-tool.html"), 1u);
  EXPECT_EQ(window_->Results().RowCount(), 0);
  EXPECT_EQ(Status(), kConnectionError);
}

TEST_P(GatheringFaultsTest, GatherDataKeepsTheCellOfACutPageAndGoesOn) {
  Answer("/search?q=", Reply().Send(Page("<font size=-1>Results of about <b>1,200</b>")));
  Answer("/search?p=", Cut(GetParam(), "\"infotext\">1-10 of 5,555 for golf"));
  Answer("/results.aspx", Reply().Send(Page("<span id=\"count\">1-10 of 77 results</span>")));
  for (const char* keyword : {"golf", "tee"}) {
    const int row = window_->Results().RowCount();
    window_->Results().AppendKeywords({{keyword, ""}});
    for (int c : {kColGoogle, kColYahoo, kColMsn}) window_->Results().SetCell(row, c, "old");
  }
  WhenModalOpens([](QWidget* dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
  window_->btnGatherDataClick();

  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(window_->Results().Cell(row, kColGoogle), "1,200") << row;
    EXPECT_EQ(window_->Results().Cell(row, kColYahoo), "old") << row;
    EXPECT_EQ(window_->Results().Cell(row, kColMsn), "77") << row;
  }
  EXPECT_EQ(Seen("/search?p="), 2u);
  EXPECT_EQ(Seen("/results.aspx"), 2u);
  EXPECT_EQ(Child<QPushButton>(window_.get(), "btnGatherData")->text(), "Gather Data");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GatheringFaultsTest,
    ::testing::Values(Fault{"ClosedMidBody", false, true, false, true},
                      Fault{"ClosedMidChunk", true, true, false, true},
                      Fault{"ResetMidBody", false, true, true, true},
                      Fault{"ResetRightAfterTheHeaders", false, false, true, true},
                      Fault{"ResetBeforeAnyAnswer", false, false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
