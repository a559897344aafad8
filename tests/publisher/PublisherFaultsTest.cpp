// The news requests and the live-update check against servers that fail
// on the wire: cut off mid-body, reset, redirecting in a loop, or sending
// a very large reply. A reply that did not arrive whole, or is larger than
// the client takes, is never taken for a success, even when the part that
// came looks like one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "publisher/LiveUpdate.h"
#include "publisher/NewsService.h"
#include "support/FakeFetchHost.h"
#include "support/NewsBrand.h"
#include "support/RawHttpServer.h"
#include "support/RecordingMessages.h"
#include "support/TempFolder.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Box = RecordingMessages::Box;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;
using Strings = std::vector<std::string>;

const std::string kAccess = "There is a trouble accessing the news site. Contact your provider.";
const std::string kNoUpdates = "There's no new updates for this application!";

constexpr std::uint64_t kMiB = 1024 * 1024;
// The largest reply the client takes is 16 MiB; these come close to it.
constexpr std::uint64_t kLargeBody = 16 * kMiB - 1024;
constexpr std::uint64_t kLargeDescriptor = kLargeBody;

std::string Offer(const std::string& version) {
  return "There is a new update: (version " + version +
         ") available for your application!. Do you want download this update now?";
}

// How the server fails. Every partial reply already holds what a complete
// one would: the success marker, a newer version.
struct Fault {
  const char* name;
  std::string head;     // status line and headers
  std::string partial;  // body bytes sent before the end
  bool reset;           // end with a TCP reset instead of a close
  bool beforeBody;      // answer as soon as the request head is in
};
void PrintTo(const Fault& f, std::ostream* os) {
  *os << f.name;
}

Reply Faulty(const Fault& f) {
  Reply reply;
  reply.Send(f.head + f.partial);
  if (f.reset) reply.Reset();
  return reply;
}

std::vector<Fault> Faults(const std::string& partial) {
  const std::string length = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n";
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  const std::string chunk = [&] {
    char size[16];
    std::snprintf(size, sizeof size, "%zx", partial.size());
    return std::string(size) + "\r\n" + partial + "\r\n";
  }();
  return {
      {"ClosedMidBody", length, partial, false, false},
      {"ClosedBeforeTheLastChunk", chunked, chunk, false, false},
      {"ResetMidBody", length, partial, true, false},
      {"ResetRightAfterTheHeaders", length, "", true, false},
      {"ResetBeforeAnyAnswer", "", "", true, false},
      // Larger than the client takes: not waited for.
      {"AnnouncedBeyondTheLimit", "HTTP/1.1 200 OK\r\nContent-Length: 16777217\r\n\r\n", partial,
       false, false},
      // The form is still on its way when the reset comes.
      {"ResetWhileSending", "", "", true, true},
  };
}

std::string FaultName(const ::testing::TestParamInfo<Fault>& info) {
  return info.param.name;
}

class PublisherFaultsTest : public ::testing::Test {
 protected:
  TempFolder folder_{/*asProgramFolder=*/true};
  FakeFetchHost host_;
  HttpClient client_{host_};
  RecordingMessages messages_;
};

// --- News

class NewsFaultTest : public PublisherFaultsTest, public ::testing::WithParamInterface<Fault> {
 protected:
  void ServeFrom(const RawHttpServer& server) {
    brand_ = NewsBrand("acme-gold", "ACME-1").Settings(server.Url("/news/"));
  }

  BrandSettings brand_;
  NewsService news_{client_, messages_, brand_, [] { return LocalTime{2024, 3, 7, 9, 5, 2, 45}; }};
};

TEST_P(NewsFaultTest, EveryRequestFailsWithAnEmptyReply) {
  const Fault& f = GetParam();
  RawHttpServer server([&f](const Request&) { return Faulty(f); });
  if (f.beforeBody) server.AnswerBeforeTheBody();
  ServeFrom(server);

  Strings items{"kept"};
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_EQ(items, Strings{"kept"});
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));

  messages_.boxes.clear();
  std::string body = "stale";
  EXPECT_FALSE(news_.RequestBrandNewsDetails("7", body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));

  messages_.boxes.clear();
  std::string id = "stale";
  std::string title;
  EXPECT_FALSE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(id, "");
  EXPECT_TRUE(messages_.boxes.empty()) << "the newest-item request never shows a box";

  EXPECT_EQ(server.RequestCount(), 3u);
  EXPECT_FALSE(client_.Busy());
}

INSTANTIATE_TEST_SUITE_P(Faults, NewsFaultTest,
                         ::testing::ValuesIn(Faults("7^Spring offer^2024-03-01\xAFOK")), FaultName);

TEST_F(NewsFaultTest, ARedirectLoopEndsAtTheRequestLimit) {
  // Each redirect's body holds the success marker: none of them is a reply.
  RawHttpServer server([](const Request& r) {
    return RawHttpServer::Respond(302, "7^Loop^2024\xAFOK", "Location: " + r.target + "\r\n");
  });
  ServeFrom(server);
  Strings items;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(news_.ShowBrandNews(items));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'W', kAccess}}));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 15u);
  // The form went once; the redirects were followed without it.
  EXPECT_EQ(requests[0].method, "POST");
  for (std::size_t i = 1; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].method, "GET");
    EXPECT_EQ(requests[i].body, "");
  }
  std::string id, title;
  EXPECT_FALSE(news_.CheckBrandNews(id, title));
  EXPECT_EQ(server.RequestCount(), 30u);
}

TEST_F(NewsFaultTest, AVeryLargeBodyArrivesWhole) {
  const std::string piece = "<p>news $24 text</p>\r\n";  // "$24" stands for "$"
  const std::uint64_t copies = kLargeBody / piece.size();
  const std::string tail = "\xAFOK";
  RawHttpServer server([&](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: " +
              std::to_string(copies * piece.size() + tail.size()) + "\r\n\r\n")
        .Repeat(piece, copies * piece.size())
        .Send(tail);
  });
  ServeFrom(server);
  std::string body;
  ASSERT_TRUE(news_.RequestBrandNewsDetails("7", body));
  EXPECT_TRUE(messages_.boxes.empty());
  const std::string decoded = "<p>news $ text</p>\r\n";
  ASSERT_EQ(body.size(), copies * decoded.size());
  EXPECT_EQ(body.compare(0, decoded.size(), decoded), 0);
  EXPECT_EQ(body.compare(body.size() - decoded.size(), decoded.size(), decoded), 0);
}

// --- Live update

class UpdateFaultTest : public PublisherFaultsTest, public ::testing::WithParamInterface<Fault> {
 protected:
  void CheckAt(const RawHttpServer& server, bool silent) {
    LiveUpdate update(
        client_, messages_, server.Url("/liveupdate/quorvane/"),
        [this](const std::filesystem::path&, const Strings&) { ++launches_; }, [] {});
    update.CheckUpdates(silent);
  }
  int launches_ = 0;
};

TEST_P(UpdateFaultTest, IsNoUpdateAndLeavesNoLocalCopy) {
  const Fault& f = GetParam();
  RawHttpServer server([&f](const Request&) { return Faulty(f); });
  folder_.Write("Updater.exe", "#!/bin/sh\n");
  folder_.Write("mainappupdate.inf", "[APPLICATION]\r\nVersion=9.0\r\n");  // from a run before

  CheckAt(server, /*silent=*/true);
  EXPECT_TRUE(messages_.boxes.empty());
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));

  CheckAt(server, /*silent=*/false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));
  EXPECT_EQ(launches_, 0);
  EXPECT_EQ(server.RequestCount(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Faults, UpdateFaultTest,
                         ::testing::ValuesIn(Faults("[APPLICATION]\r\nVersion=9.0\r\n")),
                         FaultName);

TEST_F(UpdateFaultTest, ARedirectLoopEndsAtTheRequestLimit) {
  RawHttpServer server([](const Request& r) {
    return RawHttpServer::Respond(302, "[APPLICATION]\r\nVersion=9.0\r\n",
                                  "Location: " + r.target + "\r\n");
  });
  folder_.Write("Updater.exe", "#!/bin/sh\n");
  CheckAt(server, /*silent=*/false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  EXPECT_EQ(server.RequestCount(), 15u);
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf"));
}

TEST_F(UpdateFaultTest, AnErrorOutOfAPumpLeavesNoPartialCopyAndNoConnection) {
  const std::string descriptor = "[APPLICATION]\r\nVersion=2.0\r\n";
  std::atomic<int> requests{0};
  RawHttpServer server([&](const Request&) {
    if (++requests > 1) return RawHttpServer::Respond(200, descriptor);
    // Half the descriptor, then the server waits with the connection open.
    return Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + descriptor).Hold();
  });
  folder_.Write("mainappupdate.inf", "[APPLICATION]\r\nVersion=9.0\r\n");  // from a run before
  host_.onPump = [this] {
    if (host_.WorkCount() > 0) throw std::runtime_error("a nested command failed");
  };
  EXPECT_THROW(CheckAt(server, /*silent=*/false), std::runtime_error);
  EXPECT_FALSE(folder_.Exists("mainappupdate.inf")) << "a partial copy was left";
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
  EXPECT_FALSE(client_.Busy());

  host_.onPump = nullptr;
  CheckAt(server, /*silent=*/false);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'I', kNoUpdates}}));
  EXPECT_EQ(folder_.Read("mainappupdate.inf"), descriptor);
}

TEST_F(UpdateFaultTest, AVeryLargeDescriptorIsReadToItsEnd) {
  const std::string padding = "; nothing but a comment line to make the file big\r\n";
  const std::uint64_t paddingBytes = kLargeDescriptor / padding.size() * padding.size();
  const std::string section = "[APPLICATION]\r\nName=Quorvane\r\nVersion=2.5\r\n";
  RawHttpServer server([&](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: " +
              std::to_string(paddingBytes + section.size()) + "\r\n\r\n")
        .Repeat(padding, paddingBytes)
        .Send(section);
  });
  folder_.Write("Updater.exe", "#!/bin/sh\n");
  messages_.answers = {false};
  CheckAt(server, /*silent=*/true);
  EXPECT_EQ(messages_.boxes, (std::vector<Box>{{'C', Offer("2.5")}}));
  // The local copy of the descriptor stays, whole.
  std::error_code ec;
  EXPECT_EQ(std::filesystem::file_size(folder_.File("mainappupdate.inf"), ec),
            paddingBytes + section.size());
}

}  // namespace
