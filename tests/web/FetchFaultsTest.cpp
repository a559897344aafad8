// FetchUrl and the HTTP client against servers that misbehave on the
// wire: silent, cut off in the middle of a body, reset, endlessly
// redirecting, or sending a very large page. Each must end in a plain
// success or failure, promptly, with no working file left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "support/FakeFetchHost.h"
#include "support/RawHttpServer.h"
#include "support/StalledListener.h"
#include "support/TempFolder.h"
#include "web/FetchUrl.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

const std::string kCompleted = "Process completed sucessfull!";
const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

constexpr std::uint64_t kMiB = 1024 * 1024;

// The largest body the client takes (HttpClient::Options::maxBodyBytes).
constexpr std::uint64_t kLargeBody = 16 * kMiB;

std::string Hex(std::uint64_t n) {
  char text[32];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(n));
  return text;
}

class FetchFaultsTest : public ::testing::Test {
 protected:
  FetchFaultsTest() {
    // Remembers how far the working file had grown while the fetch ran,
    // so that its removal afterwards is a removal of real data.
    host.onPump = [this] {
      std::error_code ec;
      const auto size = std::filesystem::file_size(folder.File("test.html"), ec);
      if (!ec && size > stagedBytes) stagedBytes = size;
      if (onPump) onPump();
    };
  }

  std::string Getting(const std::string& url) const { return "Getting URL: " + url + "..."; }

  // What the window does on "Stop" or on closing: the flag and a cut.
  void StopWhen(std::function<bool()> ready) {
    onPump = [this, ready = std::move(ready)] {
      if (host.abort || !ready()) return;
      stopAt = Clock::now();
      host.abort = true;
      http.Disconnect();
    };
  }

  TempFolder folder{/*asProgramFolder=*/true};
  FakeFetchHost host;
  HttpClient http{host};
  std::function<void()> onPump;
  std::uintmax_t stagedBytes = 0;
  Clock::time_point stopAt;
  std::string page = "stale page";
};

// --- A server that takes the request and never answers.

TEST_F(FetchFaultsTest, StopEndsTheWaitForASilentServerAtOnce) {
  RawHttpServer server([](const Request&) { return Reply().Hold(); });
  // The first pump is the fetch's own, before the request goes out.
  StopWhen([&] { return host.pumps >= 2 && server.RequestCount() == 1; });
  const std::string url = server.Url("/silent");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_LT(Clock::now() - stopAt, 1s);
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection is closed, not left open";
  EXPECT_FALSE(http.Busy());
}

TEST_F(FetchFaultsTest, StopEndsAnEndlessBody) {
  // Data keeps coming, so the client is never idle; the stop must still
  // get through between two pieces.
  RawHttpServer server([](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
        .Endless("10\r\n0123456789abcdef\r\n");
  });
  StopWhen([&] { return host.gaugeValue > 2 * static_cast<std::int64_t>(kMiB); });
  EXPECT_FALSE(FetchUrl(http, server.Url("/endless"), page));
  EXPECT_LT(Clock::now() - stopAt, 1s);
  EXPECT_EQ(host.statuses.back(), kConnectionError);
  EXPECT_GT(stagedBytes, kMiB);
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

TEST_F(FetchFaultsTest, ARequestStartedAfterTheCloseDoesNotWaitForASilentServer) {
  // After the window has closed, the start-up tick still runs its update
  // check on the client; nothing would ever end a wait for a silent server
  // there but the flag.
  RawHttpServer silent([](const Request&) { return Reply().Hold(); });
  StalledListener stalled;
  host.abort = true;
  for (const std::string& url : {silent.Url("/"), stalled.Url("/")}) {
    SCOPED_TRACE(url);
    const auto start = Clock::now();
    EXPECT_FALSE(http.Get(url, [](std::string_view) { return true; }));
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_FALSE(http.Busy());
  }
  EXPECT_TRUE(silent.WaitForClientCloses(1, 5s));
}

TEST_F(FetchFaultsTest, TheIdleLimitEndsAFetchFromASilentServerLikeALostConnection) {
  RawHttpServer server([](const Request& r) {
    if (r.target == "/next") return RawHttpServer::Respond(200, "next page");
    return Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nthe first part").Hold();
  });
  HttpClient timed{host, {.idleTimeout = 300ms}};
  const std::string url = server.Url("/silent");
  EXPECT_FALSE(FetchUrl(timed, url, page));
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
  EXPECT_FALSE(host.abort) << "a time-out is no stop";
  ASSERT_TRUE(FetchUrl(timed, server.Url("/next"), page));
  EXPECT_EQ(page, "next page\r\n");
}

// --- An error escapes the client (thrown out of a message pump).

struct ErrorCase {
  const char* name;
  std::string head;  // sent at once; the connection is then kept open
  // When the pump throws: after this many progress events.
  int afterWork;
};
void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchErrorTest : public FetchFaultsTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(FetchErrorTest, ClosesTheConnectionShowsTheFailureAndLeavesNoFile) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request& r) {
    if (r.target == "/next") return RawHttpServer::Respond(200, "next page");
    if (c.head.empty()) return Reply().Hold();
    return Reply().Send(c.head).KeepAlive();
  });
  onPump = [this, &c, &server] {
    // The fetch pumps once before the request goes out.
    if (server.RequestCount() == 1 && host.WorkCount() > c.afterWork)
      throw std::runtime_error("a nested command failed");
  };
  const std::string url = server.Url("/page");
  EXPECT_THROW(FetchUrl(http, url, page), std::runtime_error);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection was left open";
  EXPECT_FALSE(http.Busy());

  onPump = nullptr;
  ASSERT_TRUE(FetchUrl(http, server.Url("/next"), page));
  EXPECT_EQ(page, "next page\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Moments, FetchErrorTest,
    ::testing::Values(
        // The fetch's own Work(0) counts as the first progress event.
        ErrorCase{"WhileWaitingForTheAnswer", "", 0},
        ErrorCase{"AfterTheWholeBody",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n",
                  1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The connection ends before the response is complete.

struct CutCase {
  const char* name;
  std::string head;         // the response head (and any chunk header)
  std::uint64_t bodyBytes;  // body bytes sent before the end
  bool reset;               // a TCP reset instead of an orderly close
};
void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchCutTest : public FetchFaultsTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(FetchCutTest, FailsWithTheConnectionErrorAndRemovesTheWorkingFile) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) {
    Reply reply;
    reply.Send(c.head).Repeat("a line of the page\n", c.bodyBytes);
    if (c.reset) reply.Reset();
    return reply;
  });
  const std::string url = server.Url("/cut");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
  if (c.bodyBytes >= kMiB) {
    EXPECT_GT(stagedBytes, 0u) << "the body was being written to disk";
  }
  EXPECT_FALSE(http.Busy());
}

INSTANTIATE_TEST_SUITE_P(
    Ends, FetchCutTest,
    ::testing::Values(
        CutCase{"AnnouncedLengthClosedHalfWay",
                "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(4 * kMiB) + "\r\n\r\n",
                2 * kMiB, false},
        CutCase{"ChunkedClosedInsideAChunk",
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Hex(4 * kMiB) + "\r\n",
                2 * kMiB, false},
        // Whole chunks, but the last chunk never comes.
        CutCase{"ChunkedClosedBetweenChunks",
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n", 0, false},
        CutCase{"AnnouncedLengthReset",
                "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(4 * kMiB) + "\r\n\r\n",
                2 * kMiB, true},
        CutCase{"ChunkedReset",
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Hex(4 * kMiB) + "\r\n",
                2 * kMiB, true},
        // A body that only the close would end: a reset is no close.
        CutCase{"UntilCloseReset", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", 2 * kMiB, true},
        CutCase{"ResetBeforeAnyAnswer", "", 0, true},
        CutCase{"ResetRightAfterTheHeaders", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n", 0,
                true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchFaultsTest, AResponseHeadThatNeverEndsFails) {
  // Header lines keep coming, cookies among them: the client gives up
  // rather than collect them without end.
  for (const std::string& line :
       {"X-Pad: " + std::string(60, 'a') + "\r\n", std::string("Set-Cookie: a=b\r\n"),
        std::string("Set-Cookie2: a=b; Version=1\r\n")}) {
    SCOPED_TRACE(line);
    RawHttpServer server(
        [&line](const Request&) { return Reply().Send("HTTP/1.1 200 OK\r\n").Endless(line); });
    const auto start = Clock::now();
    EXPECT_FALSE(FetchUrl(http, server.Url("/"), page));
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(host.statuses.back(), kConnectionError);
    EXPECT_FALSE(folder.Exists("test.html"));
  }
}

// --- A very large page.

struct LargeCase {
  const char* name;
  std::string head;
  std::string piece;  // repeated to make the body (with any chunk framing)
  std::string more;   // one byte beyond the largest body taken (with its framing), or nothing
  std::string tail;
};
void PrintTo(const LargeCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchLargeTest : public FetchFaultsTest, public ::testing::WithParamInterface<LargeCase> {};

// 63 characters and LF: each line comes back as the same text and CR LF.
const std::string kLine = std::string(62, 'p') + "|\n";
constexpr std::uint64_t kLines = kLargeBody / 64;

// A page as large as the client takes arrives whole; a byte more and the
// fetch fails like a lost connection, its working file gone.
TEST_P(FetchLargeTest, ArrivesWholeUpToTheLimitAndFailsBeyond) {
  const auto& c = GetParam();
  RawHttpServer server([&](const Request&) {
    return Reply().Send(c.head).Repeat(c.piece, kLines * c.piece.size()).Send(c.more).Send(c.tail);
  });
  const std::string url = server.Url("/large");
  const bool within = c.more.empty();
  ASSERT_EQ(FetchUrl(http, url, page), within);
  EXPECT_EQ(host.statuses,
            (std::vector<std::string>{Getting(url), within ? kCompleted : kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
  if (!within) {
    EXPECT_EQ(page, "");
    EXPECT_LE(stagedBytes, kLargeBody);
    return;
  }
  ASSERT_EQ(page.size(), kLines * (kLine.size() + 1));
  const std::string crLfLine = std::string(62, 'p') + "|\r\n";
  EXPECT_EQ(page.compare(0, crLfLine.size(), crLfLine), 0);
  EXPECT_EQ(page.compare(page.size() - crLfLine.size(), crLfLine.size(), crLfLine), 0);
  EXPECT_EQ(page.find('\n', page.size() / 2) % (kLine.size() + 1), kLine.size());
  EXPECT_GT(stagedBytes, 0u);
  EXPECT_EQ(host.gaugeValue, host.gaugeMax);
}

std::string Announced(std::uint64_t length) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}
const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
const std::string kChunk = Hex(kLine.size()) + "\r\n" + kLine + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Framings, FetchLargeTest,
    ::testing::Values(
        LargeCase{"AnnouncedLength", Announced(kLargeBody), kLine, "", ""},
        LargeCase{"Chunked", kChunkedHead, kChunk, "", "0\r\n\r\n"},
        LargeCase{"UntilClose", "HTTP/1.0 200 OK\r\n\r\n", kLine, "", ""},
        LargeCase{"AnnouncedOneByteMore", Announced(kLargeBody + 1), kLine, "x", ""},
        LargeCase{"ChunkedOneByteMore", kChunkedHead, kChunk, "1\r\nx\r\n", "0\r\n\r\n"},
        LargeCase{"UntilCloseOneByteMore", "HTTP/1.0 200 OK\r\n\r\n", kLine, "x", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchFaultsTest, ATwoGigabyteAnnouncementIsNeitherWaitedForNorStaged) {
  RawHttpServer server([](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n")
        .Endless("<p>filler</p>\r\n");
  });
  const std::string url = server.Url("/huge");
  const auto start = Clock::now();
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_LT(Clock::now() - start, 5s);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_EQ(stagedBytes, 0u) << "nothing of it was written";
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

// --- Redirects that never end.

// A loop and an over-long chain are the same to the client: still a
// redirect at the 15th answer, the fetch has led to no page and fails.
TEST_F(FetchFaultsTest, ARedirectToItselfFailsAtTheRequestLimit) {
  for (const bool absolute : {false, true}) {
    SCOPED_TRACE(absolute ? "absolute Location" : "relative Location");
    int answered = 0;
    RawHttpServer server([&](const Request& r) {
      const std::string self =
          absolute ? "http://" + r.Header("Host") + "/loop?x=1" : std::string("/loop?x=1");
      return RawHttpServer::Respond(302, "round " + std::to_string(++answered),
                                    "Location: " + self + "\r\n");
    });
    host.statuses.clear();
    const std::string url = server.Url("/loop?x=1");
    const auto start = Clock::now();
    EXPECT_FALSE(FetchUrl(http, url, page));
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(page, "");
    EXPECT_EQ(server.RequestCount(), 15u);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
    EXPECT_FALSE(folder.Exists("test.html"));
  }
}

TEST_F(FetchFaultsTest, APostRedirectedToItselfFailsAtTheRequestLimit) {
  RawHttpServer server([](const Request& r) {
    return RawHttpServer::Respond(307, "again " + r.body, "Location: /post\r\n");
  });
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(server.Url("/post"), "text/plain", "form", reply));
  EXPECT_EQ(reply, "");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 15u);
  EXPECT_EQ(requests.back().method, "POST");
  EXPECT_EQ(requests.back().body, "form");
}

// --- A reset while a POST body is still on its way.

TEST_F(FetchFaultsTest, AResetWhileAPostIsSendingFailsWithAnEmptyReply) {
  // The pause lets the body start; it is far more than the socket buffers
  // take, so the reset meets a client that is still sending.
  RawHttpServer server([](const Request&) { return Reply().Pause(100ms).Reset(); });
  server.AnswerBeforeTheBody();
  const std::string body(16 * kMiB, 'b');
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(server.Url("/news"), "text/plain", body, reply));
  EXPECT_EQ(reply, "");
  ASSERT_FALSE(host.gauge.empty());
  EXPECT_EQ(host.gauge.front(), (FakeFetchHost::Event{FakeFetchHost::Event::Kind::kBegin,
                                                      static_cast<std::int64_t>(body.size())}));
  std::int64_t sent = 0;
  for (const auto& e : host.gauge)
    if (e.kind == FakeFetchHost::Event::Kind::kWork) sent = e.value;
  EXPECT_LT(sent, static_cast<std::int64_t>(body.size())) << "the upload was cut";
  EXPECT_FALSE(http.Busy());

  // The client is fine afterwards.
  RawHttpServer fine([](const Request&) { return RawHttpServer::Respond(200, "OK"); });
  ASSERT_TRUE(http.Post(fine.Url("/news"), "text/plain", "x", reply));
  EXPECT_EQ(reply, "OK");
}

}  // namespace
