// The three news requests against the simulated news service: the bytes
// that arrive at the server, and what each reply makes of the outputs and
// the message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "publisher/NewsService.h"
#include "sim/Simulator.h"
#include "support/FakeFetchHost.h"
#include "support/NewsBrand.h"
#include "support/RecordingMessages.h"
#include "web/HttpClient.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Strings = std::vector<std::string>;
using Box = RecordingMessages::Box;

const std::string kAccess = "There is a trouble accessing the news site. Contact your provider.";
const std::string kUser = "There is a trouble with the Publisher Id. Contact your provider.";
const std::string kNews = "There is a trouble with this news. Contact your provider.";
const std::string kBoundary = "--------030724090502045";

std::string ExpectedBody(const std::string& fourthName, const std::string& fourthValue) {
  const std::string d = "--" + kBoundary + "\r\n";
  auto part = [&](const std::string& name, const std::string& value) {
    return d + "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  };
  return part("memusername", "pub-gold") + part("prodcode", "QV-DEMO") + part("prodtype", "BG") +
         part(fourthName, fourthValue) + part("newstarget", "UA") + part("something", "") +
         "\r\n--" + kBoundary + "--\r\n";
}

class NewsServiceTest : public ::testing::Test {
 protected:
  NewsServiceTest() {
    const NewsBrand news = NewsBrand("pub-gold", "QV-DEMO")
                               .Master("pub-master")
                               .ProductType("BG")
                               .Items({{5, "Older", "2024-01-01", "<p>five</p>"},
                                       {9, "Cost $5E", "2024-02-02", "<p>Cost: $9 ^ up</p>"}});
    news.Serve(sim_);
    brand_ = news.Settings(sim_.BaseUrl() + "/news/", sim_.BaseUrl() + "/master/");
  }

  void Reply(std::optional<std::string> NewsScenario::*which, std::string reply) {
    sim_.ChangeScenario([&](Scenario& s) { s.news.*which = std::move(reply); });
  }

  Simulator sim_;
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
  BrandSettings brand_;
  NewsService news_{client_, messages_, brand_, [] { return LocalTime{2024, 3, 7, 9, 5, 2, 45}; }};
};

TEST_F(NewsServiceTest, EachRequestArrivesAsExactMultipartHttp10Post) {
  Strings items;
  std::string id, title, body;
  ASSERT_TRUE(news_.ShowBrandNews(items));
  ASSERT_TRUE(news_.CheckBrandNews(id, title));
  ASSERT_TRUE(news_.RequestBrandNewsDetails("9", body));

  const auto requests = sim_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  const struct {
    const char* target;
    std::string body;
  } expected[] = {{"/news/getlastnews.php", ExpectedBody("conttype", "all")},
                  {"/news/getlastnews.php", ExpectedBody("conttype", "lastcode")},
                  {"/news/getnewsdetails.php", ExpectedBody("newsid", "9")}};
  for (std::size_t i = 0; i < 3; ++i) {
    const SimRequest& r = requests[i];
    SCOPED_TRACE(r.target);
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, expected[i].target);
    EXPECT_EQ(r.version, "HTTP/1.0");
    EXPECT_EQ(r.Header("Content-Type"), "multipart/form-data; boundary=" + kBoundary);
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(expected[i].body.size()));
    EXPECT_EQ(r.body, expected[i].body);
    ASSERT_TRUE(r.multipartValid) << r.multipartError;
    Strings names;
    for (const auto& f : r.fields) {
      names.push_back(f.name);
      EXPECT_TRUE(f.filename.empty());
      EXPECT_TRUE(f.contentType.empty());
    }
    EXPECT_EQ(names, (Strings{"memusername", "prodcode", "prodtype", i == 2 ? "newsid" : "conttype",
                              "newstarget", "something"}));
    EXPECT_EQ(r.Field("newstarget")->value, "UA");
    // The strict parser gives the empty last field the extra CR LF pair.
    EXPECT_EQ(r.Field("something")->value, "\r\n");
  }
  EXPECT_EQ(requests[2].Field("conttype"), nullptr);
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsServiceTest, BaseUrlWithoutSlashReachesTheSameScript) {
  brand_.GoldNewsBaseURL = sim_.BaseUrl() + "/news";
  Strings items;
  ASSERT_TRUE(news_.ShowBrandNews(items));
  EXPECT_EQ(sim_.Requests().at(0).target, "/news/getlastnews.php");
}

TEST_F(NewsServiceTest, ListAppendsRecordsInReplyOrderAndTitlesStayEscapedText) {
  Strings items{"kept"};
  ASSERT_TRUE(news_.ShowBrandNews(items));
  EXPECT_EQ(items, (Strings{"kept", "5^Older^2024-01-01", "9^Cost $5E^2024-02-02"}));

  Reply(&NewsScenario::listReply,
        "7^Cost $5E^2024\xAF\xAF"
        "8^B^2024\xAFOK\xAF\xAFOK\r\n");
  items.clear();
  ASSERT_TRUE(news_.ShowBrandNews(items));
  EXPECT_EQ(items, (Strings{"7^Cost $5E^2024", "8^B^2024"}));
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsServiceTest, ListReplyOfOkAloneIsAnEmptySuccess) {
  Reply(&NewsScenario::listReply, "OK");
  Strings items;
  EXPECT_TRUE(news_.ShowBrandNews(items));
  EXPECT_TRUE(items.empty());
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsServiceTest, FailedListShowsTheCodesMessageAndKeepsTheList) {
  struct Case {
    std::string reply;
    std::vector<Box> boxes;
  };
  const Case cases[] = {
      {"INVALIDUSER\r\n", {{'W', kUser}}},
      {"  INVALIDUSER", {{'W', kUser}}},
      {"invaliduser", {}},
      {"INVALIDNEWS", {}},
      {"CONNECTIONFAIL", {{'W', "There is a trouble in the settings file on the news site."}}},
      {"INVALIDPRODUCT",
       {{'W', "There is a trouble with the product validation. Contact your provider."}}},
      {"\r\n", {{'W', kAccess}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    Reply(&NewsScenario::listReply, c.reply);
    messages_.boxes.clear();
    Strings items{"kept"};
    EXPECT_FALSE(news_.ShowBrandNews(items));
    EXPECT_EQ(items, Strings{"kept"});
    EXPECT_EQ(messages_.boxes, c.boxes);
  }
}

TEST_F(NewsServiceTest, TransportFailuresAreAnEmptyReply) {
  // An HTTP error status with a page that holds no code.
  sim_.ChangeScenario([](Scenario& s) { s.news.status = 500; });
  Strings items;
  std::string body = "stale";
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_FALSE(news_.RequestBrandNewsDetails("5", body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}, {'W', kAccess}}));

  // An empty base URL gives a URL without a host.
  messages_.boxes.clear();
  brand_.GoldNewsBaseURL.clear();
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));

  // The abort flag cuts the transfer.
  messages_.boxes.clear();
  brand_.GoldNewsBaseURL = sim_.BaseUrl() + "/news/";
  // The answer waits, so the flag meets a progress event before the reply is in.
  sim_.ChangeScenario([](Scenario& s) {
    s.news.status = 200;
    s.news.pace.delayMs = 300;
  });
  host_.abort = true;
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));
  host_.abort = false;

  // Nobody listening.
  messages_.boxes.clear();
  sim_.Stop();
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));
}

TEST_F(NewsServiceTest, NewestItemOutputsAndNoMessages) {
  std::string id = "x", title;
  ASSERT_TRUE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(id, "9");
  EXPECT_EQ(title, "Cost $5E");  // titles are not decoded

  Reply(&NewsScenario::lastcodeReply, "OK");
  title.clear();
  ASSERT_TRUE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(id, "");
  EXPECT_EQ(title, "");

  Reply(&NewsScenario::lastcodeReply, "12\xAFOK");
  ASSERT_TRUE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(id, "12");
  EXPECT_EQ(title, "");

  Reply(&NewsScenario::lastcodeReply, "INVALIDUSER");
  id = "stale";
  EXPECT_FALSE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(id, "");
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsServiceTest, DetailsDecodeTheBodyOnly) {
  std::string body;
  ASSERT_TRUE(news_.RequestBrandNewsDetails("9", body));
  EXPECT_EQ(body, "<p>Cost: $9 ^ up</p>");

  Reply(&NewsScenario::detailsReply, "<p>a $5E b</p>\xAFOK");
  ASSERT_TRUE(news_.RequestBrandNewsDetails("9", body));
  EXPECT_EQ(body, "<p>a ^ b</p>");

  Reply(&NewsScenario::detailsReply, "<p>$ZZ</p>\xAFOK");
  body = "old";
  EXPECT_TRUE(news_.RequestBrandNewsDetails("9", body));
  EXPECT_EQ(body, "");
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(NewsServiceTest, UnknownItemShowsTheNewsMessage) {
  std::string body = "old";
  EXPECT_FALSE(news_.RequestBrandNewsDetails("77", body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kNews}}));
  EXPECT_EQ(sim_.Requests().at(0).Field("newsid")->value, "77");
}

TEST_F(NewsServiceTest, TierDecidesWhereAndWhetherRequestsGo) {
  Strings items;
  std::string id, title;
  // Master goes to the Master base with its own id and "BM".
  brand_.BranderType = "Master";
  sim_.ChangeScenario([](Scenario& s) {
    s.news.publisherId = "pub-master";
    s.news.productType = "BM";
  });
  ASSERT_TRUE(news_.ShowBrandNews(items));
  auto r = sim_.Requests().back();
  EXPECT_EQ(r.target, "/master/getlastnews.php");
  EXPECT_EQ(r.Field("memusername")->value, "pub-master");
  EXPECT_EQ(r.Field("prodtype")->value, "BM");

  // No tier, a tier in another letter case, or an empty publisher id: nothing is sent.
  sim_.ClearRequests();
  for (const char* type : {"Free", "gold", "Platinum"}) {
    brand_.BranderType = type;
    EXPECT_FALSE(news_.ShowBrandNews(items)) << type;
    EXPECT_FALSE(news_.CheckBrandNews(id, title)) << type;
  }
  EXPECT_EQ(sim_.RequestCount(), 0u);
  EXPECT_TRUE(messages_.boxes.empty());
}

}  // namespace
