// The news and update service over HTTP, asked by the program's own news
// client (the requests the main window sends) and by plain HTTP clients:
// answers, refusals, limits, many clients at once, and news added while it
// runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "publisher/NewsService.h"
#include "support/FakeFetchHost.h"
#include "support/HostedNewsService.h"
#include "support/NewsBrand.h"
#include "support/RecordingMessages.h"
#include "support/SimHttp.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

using Box = RecordingMessages::Box;
using Strings = std::vector<std::string>;

// One client of the service as the program makes it: its own HTTP client,
// messages and brand.
struct ProgramClient {
  explicit ProgramClient(const std::string& base, const std::string& publisherId = "acme-gold")
      : brand(NewsBrand(publisherId, "ACME-1").Settings(base + "/acme/news/")) {}

  FakeFetchHost host;
  HttpClient client{host};
  RecordingMessages messages;
  BrandSettings brand;
  NewsService news{client, messages, brand};
};

class NewsdServiceTest : public ::testing::Test {
 protected:
  NewsdServiceTest() {
    service_.AddItem(101, "Spring offer", "2026-03-01", "<p>Cost: $9 ^ up</p>");
    service_.AddItem(102, "New tutorial", "2026-03-10", " <p>Leading blank\r\nand lines</p>");
    service_.Publish("2.1");
    service_.WriteFile("liveupdate/quorvane/setup.bin", Pattern(300000));
  }

  static std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + 7) % 251);
    return bytes;
  }

  void Start() {
    service_.Start();
    base_ = service_.BaseUrl();
  }

  HostedNewsService service_{{"acme-gold"}, {"ACME-1"}};
  std::string base_;
};

TEST_F(NewsdServiceTest, TheProgramsNewsRequestsGetTheirAnswers) {
  Start();
  ProgramClient program(base_);
  Strings items;
  ASSERT_TRUE(program.news.ShowBrandNews(items));
  EXPECT_EQ(items, (Strings{"102^New tutorial^2026-03-10", "101^Spring offer^2026-03-01"}));
  std::string id, title, body;
  ASSERT_TRUE(program.news.CheckBrandNews(id, title));
  EXPECT_EQ(id, "102");
  EXPECT_EQ(title, "New tutorial");
  ASSERT_TRUE(program.news.RequestBrandNewsDetails("101", body));
  EXPECT_EQ(body, "<p>Cost: $9 ^ up</p>");
  ASSERT_TRUE(program.news.RequestBrandNewsDetails("102", body));
  EXPECT_EQ(body, " <p>Leading blank\r\nand lines</p>");
  EXPECT_TRUE(program.messages.boxes.empty());

  EXPECT_FALSE(program.news.RequestBrandNewsDetails("103", body));
  EXPECT_EQ(program.messages.boxes,
            (std::vector<Box>{{'W', "There is a trouble with this news. Contact your provider."}}));

  ProgramClient stranger(base_, "someone-else");
  EXPECT_FALSE(stranger.news.ShowBrandNews(items));
  EXPECT_EQ(stranger.messages.boxes,
            (std::vector<Box>{
                {'W', "There is a trouble with the Publisher Id. Contact your provider."}}));

  // The log tells what happened without the stranger's id or any address.
  const Strings log = service_.Log();
  for (const std::string& line : log) {
    EXPECT_EQ(line.find("someone-else"), std::string::npos) << line;
    if (!line.starts_with("listening on ")) {
      EXPECT_EQ(line.find("127.0.0.1"), std::string::npos) << line;
    }
  }
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with("POST /acme/news/getlastnews.php 200 list: INVALIDUSER (publisher #");
  }));
}

TEST_F(NewsdServiceTest, UpdateFilesAreServedByteForByte) {
  Start();
  HttpReply descriptor = Fetch(base_ + "/liveupdate/quorvane/mainappupdate.inf");
  EXPECT_EQ(descriptor.status, 200);
  EXPECT_EQ(descriptor.body, "[APPLICATION]\r\nName=Acme Keywords\r\nVersion=2.1\r\n");

  HttpReply release = Fetch(base_ + "/liveupdate/quorvane/setup.bin");
  EXPECT_EQ(release.status, 200);
  EXPECT_EQ(release.body, Pattern(300000));

  HttpOptions range;
  range.headers = {"Range: bytes=200000-200099"};
  release = Fetch(base_ + "/liveupdate/quorvane/setup.bin", range);
  EXPECT_EQ(release.status, 206);
  EXPECT_EQ(release.body, Pattern(300000).substr(200000, 100));

  for (const char* missing : {"/liveupdate/quorvane/nothing", "/liveupdate/other/mainappupdate.inf",
                              "/liveupdate/quorvane/../../news/101.news", "/news/101.news"}) {
    EXPECT_EQ(Fetch(base_ + missing).status, 404) << missing;
  }
}

TEST_F(NewsdServiceTest, OversizedAndWrongRequestsAreRefused) {
  service_.Config().maxRequestBytes = 4096;
  Start();
  // A request bigger than the service takes: the program sees no answer.
  ProgramClient big(base_, std::string(5000, 'p'));
  Strings items;
  EXPECT_FALSE(big.news.ShowBrandNews(items));
  EXPECT_EQ(big.messages.boxes,
            (std::vector<Box>{
                {'W', "There is a trouble accessing the news site. Contact your provider."}}));

  HttpOptions post;
  post.post = true;
  post.headers = {"Content-Type: multipart/form-data; boundary=B"};
  post.postBody = std::string(5000, 'x');
  EXPECT_EQ(Fetch(base_ + "/getlastnews.php", post).status, 413);
  post.postBody = "--B\r\nContent-Disposition: form-data; name=\"memusername\"\r\n\r\nx\r\n--B--";
  const HttpReply bad = Fetch(base_ + "/getlastnews.php", post);
  EXPECT_EQ(bad.status, 400);
  EXPECT_EQ(bad.body.find("OK"), std::string::npos);

  const HttpReply get = Fetch(base_ + "/acme/news/getlastnews.php");
  EXPECT_EQ(get.status, 405);
  EXPECT_EQ(get.Header("Allow"), "POST");
}

// Many program clients ask at once while the publisher adds items; every
// answer comes from one whole scan: a list is always the items 1..N for
// one N, never a scan half swapped in.
TEST_F(NewsdServiceTest, ManyClientsAtOnceWhileNewsIsAdded) {
  for (int id = 1; id <= 20; ++id) {
    service_.AddItem(id, "Item " + std::to_string(id), "2026-01-01",
                     "<p>" + std::to_string(id) + "</p>");
  }
  std::filesystem::remove(service_.Folder() / "news/101.news");
  std::filesystem::remove(service_.Folder() / "news/102.news");
  Start();

  constexpr int kClients = 16;
  constexpr int kRounds = 20;
  std::atomic<int> answered{0};
  std::mutex seenMutex;
  std::set<std::size_t> listSizes;
  std::vector<std::string> failures(kClients);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      ProgramClient program(base_);
      int lastNewest = 0;
      // At least kRounds, and on until the last item added has come.
      for (int round = 0; round < kRounds || (lastNewest < 30 && round < 20000); ++round) {
        Strings items;
        std::string id, title, body;
        if (!program.news.ShowBrandNews(items)) {
          failures[c] = "list failed";
          return;
        }
        const int count = static_cast<int>(items.size());
        {
          std::lock_guard lock(seenMutex);
          listSizes.insert(items.size());
        }
        for (int i = 0; i < count; ++i) {
          const std::string expected =
              std::to_string(count - i) + "^Item " + std::to_string(count - i) + "^2026-01-01";
          if (items[i] != expected) {
            failures[c] = "list record " + items[i] + " where " + expected + " belongs";
            return;
          }
        }
        if (!program.news.CheckBrandNews(id, title) || std::stoi(id) < lastNewest ||
            title != "Item " + id) {
          failures[c] = "newest " + id + " after " + std::to_string(lastNewest);
          return;
        }
        lastNewest = std::stoi(id);
        if (!program.news.RequestBrandNewsDetails(id, body) || body != "<p>" + id + "</p>") {
          failures[c] = "details of " + id + ": " + body;
          return;
        }
        answered += 3;
      }
      if (lastNewest != 30) failures[c] = "never saw item 30";
      if (!program.messages.boxes.empty()) failures[c] = program.messages.boxes[0].text;
    });
  }
  for (int id = 21; id <= 30; ++id) {
    service_.AddItem(id, "Item " + std::to_string(id), "2026-01-01",
                     "<p>" + std::to_string(id) + "</p>");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  for (std::thread& t : clients) t.join();
  for (int c = 0; c < kClients; ++c) EXPECT_EQ(failures[c], "") << "client " << c;
  EXPECT_GE(answered, kClients * kRounds * 3);
  // The clients were asking while the set changed under them.
  EXPECT_GT(listSizes.size(), 1u);
  EXPECT_TRUE(listSizes.contains(20u) && listSizes.contains(30u));
  // The last item is served once the watcher has seen it, without a signal.
  EXPECT_TRUE(service_.WaitForNewest("30"));
  ProgramClient late(base_);
  std::string id, title;
  ASSERT_TRUE(late.news.CheckBrandNews(id, title));
  EXPECT_EQ(id, "30");
}

TEST_F(NewsdServiceTest, AnItemTakenAwayOrBrokenIsNoLongerServed) {
  Start();
  ProgramClient program(base_);
  std::string id, title;
  service_.WriteFile("news/102.news", "Id: 102\nTitle: broken ^ title\nDate: d\n\nx");
  ASSERT_TRUE(service_.WaitForNewest("101"));
  ASSERT_TRUE(program.news.CheckBrandNews(id, title));
  EXPECT_EQ(id, "101");
  const Strings log = service_.Log();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with("content: news/102.news: line 2: Title holds ^");
  }));

  std::filesystem::remove(service_.Folder() / "news/101.news");
  std::filesystem::remove(service_.Folder() / "news/102.news");
  ASSERT_TRUE(service_.WaitForNewest(""));
  Strings items;
  ASSERT_TRUE(program.news.ShowBrandNews(items));
  EXPECT_TRUE(items.empty());
  ASSERT_TRUE(program.news.CheckBrandNews(id, title));
  EXPECT_EQ(id, "");
}

}  // namespace
