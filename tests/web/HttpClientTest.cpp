#include "web/HttpClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "support/FakeFetchHost.h"
#include "support/RawHttpServer.h"
#include "support/RefusingPort.h"
#include "support/StalledListener.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;
using Kind = FakeFetchHost::Event::Kind;

const std::string kUserAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)\r\n";
const std::string kAccept = "Accept: text/html, */*\r\n";

Reply Ok(std::string_view body) {
  return RawHttpServer::Respond(200, body);
}

class HttpClientTest : public ::testing::Test {
 protected:
  bool Get(const std::string& url, std::string& body) { return GetWith(http, url, body); }
  // For a client made with options of its own.
  static bool GetWith(HttpClient& client, const std::string& url, std::string& body) {
    body.clear();
    return client.Get(url, [&body](std::string_view piece) {
      body.append(piece);
      return true;
    });
  }
  // Gets `url` with `client`: it must fail like a lost connection, not
  // before `least` and promptly after it, the connection closed.
  void ExpectLostAfter(HttpClient& client, const RawHttpServer& server,
                       std::chrono::milliseconds least) {
    std::string body;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(GetWith(client, server.Url("/"), body));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, least);
    EXPECT_LT(took, least + 4s);
    EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection is closed";
    EXPECT_FALSE(client.Busy());
  }
  std::string HostLine(const RawHttpServer& server) const {
    return "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n";
  }

  FakeFetchHost host;
  HttpClient http{host};
};

TEST_F(HttpClientTest, GetSendsExactlyTheConfiguredRequest) {
  RawHttpServer server([](const Request&) { return Ok("hello"); });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/path/page.php?q=1&x=%22a+b%22"), body));
  EXPECT_EQ(body, "hello");
  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(server.Requests()[0].bytes, "GET /path/page.php?q=1&x=%22a+b%22 HTTP/1.1\r\n" +
                                            HostLine(server) + kUserAgent + kAccept +
                                            "Content-Type: text/html\r\n\r\n");
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
}

TEST_F(HttpClientTest, HostHeaderLeavesOutPort80) {
  // Connections for port 80 reach this server on its own port; the
  // requests stay as they are sent to port 80.
  RawHttpServer server([](const Request&) { return Ok("x"); });
  HttpClient mapped{host, {.connectTo = {{"", 80, server.Port()}}}};
  struct Case {
    std::string url;
    std::string head;  // request line and Host line
  };
  const Case cases[] = {
      {"http://127.0.0.1/p", "GET /p HTTP/1.1\r\nHost: 127.0.0.1\r\n"},
      {"http://127.0.0.1:80/q?x=1", "GET /q?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n"},
      {"http://localhost/r", "GET /r HTTP/1.1\r\nHost: localhost\r\n"},
      // Any other port is named: here the server's own, reached directly.
      {server.Url("/s"), "GET /s HTTP/1.1\r\n" + HostLine(server)},
  };
  for (const Case& c : cases) {
    std::string body;
    EXPECT_TRUE(GetWith(mapped, c.url, body)) << c.url;
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), std::size(cases));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].bytes.substr(0, cases[i].head.size()), cases[i].head) << cases[i].url;
  }
}

TEST_F(HttpClientTest, PostIsHttp10WithItsOwnTypeOnAFreshConnection) {
  RawHttpServer server([](const Request& r) {
    return Ok(r.method == "POST" ? std::string("OK\xAF"
                                               "1^News^2024")
                                 : std::string("page"));
  });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/first"), body));  // leaves a kept-alive connection

  const std::string type = "multipart/form-data; boundary=--------120324153012345";
  const std::string form(
      "--x\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n\xAF\0b\r\n--x--\r\n", 55);
  std::string reply = "stale";
  ASSERT_TRUE(http.Post(server.Url("/news/getlastnews.php"), type, form, reply));
  EXPECT_EQ(reply,
            "OK\xAF"
            "1^News^2024");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].bytes, "POST /news/getlastnews.php HTTP/1.0\r\n" + HostLine(server) +
                                   kUserAgent + kAccept + "Content-Type: " + type +
                                   "\r\nConnection: keep-alive\r\nContent-Length: 55\r\n\r\n" +
                                   form);
  EXPECT_NE(requests[1].connection, requests[0].connection);
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the GET's connection was left open";
}

TEST_F(HttpClientTest, PostReplyIsEmptyOnFailure) {
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(500, "broken"); });
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(server.Url("/x"), "text/plain", "body", reply));
  EXPECT_EQ(reply, "");
}

TEST_F(HttpClientTest, CookiesFromBothHeadersComeBackOnMatchingPaths) {
  RawHttpServer server([](const Request& r) {
    if (r.target == "/login")
      return RawHttpServer::Respond(200, "in",
                                    "Set-Cookie: sid=abc; Path=/\r\n"
                                    "Set-Cookie2: v2=\"x,y\"; Version=\"1\"; Path=\"/\"\r\n"
                                    "Set-Cookie2: deep=1; Version=1; Path=/private\r\n");
    if (r.target == "/logout")
      return RawHttpServer::Respond(200, "out", "Set-Cookie2: v2=gone; Version=1; Max-Age=0\r\n");
    return Ok("page");
  });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/login"), body));
  http.Disconnect();  // cookies outlive the connection
  ASSERT_TRUE(Get(server.Url("/public"), body));
  ASSERT_TRUE(Get(server.Url("/private/page"), body));
  ASSERT_TRUE(Get(server.Url("/logout"), body));
  ASSERT_TRUE(Get(server.Url("/after"), body));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_FALSE(requests[0].HasHeader("Cookie"));
  EXPECT_EQ(requests[1].bytes, "GET /public HTTP/1.1\r\n" + HostLine(server) + kUserAgent +
                                   "Cookie: sid=abc; v2=\"x,y\"\r\n" + kAccept +
                                   "Content-Type: text/html\r\n\r\n");
  EXPECT_EQ(requests[2].Header("Cookie"), "deep=1; sid=abc; v2=\"x,y\"");
  EXPECT_EQ(requests[4].Header("Cookie"), "sid=abc") << "Max-Age=0 deletes the cookie";
}

TEST_F(HttpClientTest, CookiesSetByARedirectGoWithTheNextHop) {
  RawHttpServer server([](const Request& r) {
    if (r.target == "/login")
      return RawHttpServer::Respond(302, "", "Location: /home\r\nSet-Cookie2: s=1; Version=1\r\n");
    return Ok(r.Header("Cookie"));
  });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/login"), body));
  EXPECT_EQ(body, "s=1");
}

// A chain of `redirects` redirects: /hop/0 -> /hop/1 -> ... -> a page.
Reply Chain(const Request& r, int redirects) {
  const int n = std::stoi(r.target.substr(r.target.rfind('/') + 1));
  if (n >= redirects) return Ok("final page after " + std::to_string(n));
  // Alternate relative and absolute locations.
  const std::string next = std::to_string(n + 1);
  const std::string location =
      n % 2 == 0 ? "/hop/" + next : "http://" + r.Header("Host") + "/hop/" + next;
  return RawHttpServer::Respond(302, "moved " + std::to_string(n),
                                "Location: " + location + "\r\n");
}

struct ChainCase {
  int redirects;
  std::size_t requests;
  bool ok;
  std::string body;
};
void PrintTo(const ChainCase& c, std::ostream* os) {
  *os << c.redirects << " redirects";
}

class RedirectChainTest : public HttpClientTest, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(RedirectChainTest, FollowsAtMostFifteenRequests) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request& r) { return Chain(r, c.redirects); });
  std::string body;
  EXPECT_EQ(Get(server.Url("/hop/0"), body), c.ok);
  EXPECT_EQ(body, c.body);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), c.requests);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].method, "GET");
    EXPECT_EQ(requests[i].target, "/hop/" + std::to_string(i));
  }
}

INSTANTIATE_TEST_SUITE_P(Chains, RedirectChainTest,
                         ::testing::Values(ChainCase{3, 4, true, "final page after 3"},
                                           ChainCase{14, 15, true, "final page after 14"},
                                           // Still a redirect at the 15th answer: the chain
                                           // leads nowhere, and a redirect's body is no page.
                                           ChainCase{15, 15, false, ""},
                                           ChainCase{20, 15, false, ""}));

// Where a redirected POST goes: its body is never sent to another host or
// port.
struct PostRedirectCase {
  const char* name;
  int status;
  bool elsewhere;      // the Location names another server (another port)
  std::string method;  // of the request that follows, "" when none follows
  bool ok;
};
void PrintTo(const PostRedirectCase& c, std::ostream* os) {
  *os << c.name;
}

class PostRedirectTest : public HttpClientTest,
                         public ::testing::WithParamInterface<PostRedirectCase> {};

TEST_P(PostRedirectTest, SendsTheBodyNowhereElse) {
  const auto& c = GetParam();
  const auto answer = [](const Request& r) {
    return Ok(r.method + " " + r.version + " [" + r.body + "] " + r.Header("Content-Type"));
  };
  RawHttpServer other(answer);
  RawHttpServer server([&](const Request& r) {
    if (r.target != "/old") return answer(r);
    const std::string location = c.elsewhere ? other.Url("/new") : "/new";
    return RawHttpServer::Respond(c.status, "moved", "Location: " + location + "\r\n");
  });
  std::string reply;
  EXPECT_EQ(http.Post(server.Url("/old"), "text/plain", "payload", reply), c.ok);
  std::vector<Request> followed = (c.elsewhere ? other : server).Requests();
  if (!c.elsewhere) followed.erase(followed.begin());
  if (c.method.empty()) {
    EXPECT_TRUE(followed.empty());
    EXPECT_EQ(reply, "");
    return;
  }
  ASSERT_EQ(followed.size(), 1u);
  EXPECT_EQ(followed[0].method, c.method);
  if (c.method == "GET") {
    // A GET of the client's own: HTTP/1.1, its own content type, no body.
    EXPECT_EQ(followed[0].bytes, "GET /new HTTP/1.1\r\n" + HostLine(c.elsewhere ? other : server) +
                                     kUserAgent + kAccept + "Content-Type: text/html\r\n\r\n");
    EXPECT_EQ(reply, "GET HTTP/1.1 [] text/html");
  } else {
    EXPECT_EQ(reply, "POST HTTP/1.0 [payload] text/plain");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Redirects, PostRedirectTest,
    ::testing::Values(PostRedirectCase{"MovedHere", 301, false, "GET", true},
                      PostRedirectCase{"FoundHere", 302, false, "GET", true},
                      PostRedirectCase{"SeeOtherHere", 303, false, "GET", true},
                      PostRedirectCase{"FoundElsewhere", 302, true, "GET", true},
                      // 307 and 308 keep the method and its body: only where it was sent.
                      PostRedirectCase{"TemporaryHere", 307, false, "POST", true},
                      PostRedirectCase{"PermanentHere", 308, false, "POST", true},
                      PostRedirectCase{"TemporaryElsewhere", 307, true, "", false},
                      PostRedirectCase{"PermanentElsewhere", 308, true, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ResponseCase {
  const char* name;
  std::string raw;  // sent, then the connection is closed
  bool ok;
  std::string body;
};
void PrintTo(const ResponseCase& c, std::ostream* os) {
  *os << c.name;
}

class ResponseFramingTest : public HttpClientTest,
                            public ::testing::WithParamInterface<ResponseCase> {};

TEST_P(ResponseFramingTest, JudgesTheResponse) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) { return Reply().Send(c.raw); });
  std::string body = "untouched";
  EXPECT_EQ(Get(server.Url("/"), body), c.ok);
  EXPECT_EQ(body, c.body);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, ResponseFramingTest,
    ::testing::Values(
        ResponseCase{"ContentLength", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabcde", true,
                     "abcde"},
        ResponseCase{"Chunked",
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                     "3\r\nabc\r\n4\r\nd\r\nf\r\n0\r\n\r\n",
                     true, "abcd\r\nf"},
        ResponseCase{"UntilClose", "HTTP/1.0 200 OK\r\n\r\nuntil the end", true, "until the end"},
        ResponseCase{"EmptyBody", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true, ""},
        ResponseCase{"OtherSuccess", "HTTP/1.1 203 Whatever\r\nContent-Length: 2\r\n\r\nok", true,
                     "ok"},
        ResponseCase{"CutShort", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this", false,
                     "only this"},
        ResponseCase{"ChunkedCutShort",
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab", false, "ab"},
        // Error statuses fail and their pages are not handed on.
        ResponseCase{"NotFound", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here",
                     false, ""},
        ResponseCase{"ServerError", "HTTP/1.1 500 Oops\r\nContent-Length: 4\r\n\r\nfail", false,
                     ""},
        ResponseCase{"RedirectWithoutLocation",
                     "HTTP/1.1 302 Found\r\nContent-Length: 5\r\n\r\nmoved", false, ""},
        ResponseCase{"NotHttp", "garbage\r\n\r\n", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct TargetCase {
  const char* name;
  std::string pathAndMore;  // appended to http://127.0.0.1:port
  std::string target;       // as the server must see it
};
void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class RequestTargetTest : public HttpClientTest,
                          public ::testing::WithParamInterface<TargetCase> {};

TEST_P(RequestTargetTest, GoesOutAsGiven) {
  const auto& c = GetParam();
  RawHttpServer server([](const Request&) { return Ok("x"); });
  std::string body;
  ASSERT_TRUE(Get(server.Url(c.pathAndMore), body));
  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(server.Requests()[0].target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RequestTargetTest,
    ::testing::Values(TargetCase{"EncodedQuotesAndPlus", "/search?q=%22golf+clubs%22&hl=en",
                                 "/search?q=%22golf+clubs%22&hl=en"},
                      TargetCase{"RawSpecials", "/a?x=1&y=a+b&z=\"<>{}|^`'",
                                 "/a?x=1&y=a+b&z=\"<>{}|^`'"},
                      TargetCase{"DotSegments", "/a/../b/./c", "/a/../b/./c"},
                      TargetCase{"HighBytesInPathAndQuery", "/caf\xE9/\xFC?q=gr\xFC\xDF",
                                 "/caf\xE9/\xFC?q=gr\xFC\xDF"},
                      TargetCase{"LowerCaseEscapesKept", "/a%2fb?c=%e9", "/a%2fb?c=%e9"},
                      TargetCase{"FragmentStaysHome", "/page?x=1#section", "/page?x=1"},
                      TargetCase{"NoPath", "", "/"},
                      TargetCase{"QueryWithoutPath", "?seed=golf+clubs", "/?seed=golf+clubs"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpClientTest, UrlsLibcurlRefusesFailWithoutARequest) {
  // libcurl's URL parser refuses blanks and control bytes anywhere in a
  // URL; callers encode them (a blank as "+" or %20).
  RawHttpServer server([](const Request&) { return Ok("x"); });
  std::string body;
  EXPECT_FALSE(Get(server.Url("/a b"), body));
  EXPECT_FALSE(Get(server.Url("/a?q=x\ty"), body));
  EXPECT_FALSE(Get("ftp://127.0.0.1:" + std::to_string(server.Port()) + "/", body));
  EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(HttpClientTest, RedirectsLeadOnlyToHttp) {
  RawHttpServer server([](const Request&) {
    return RawHttpServer::Respond(302, "", "Location: file:///etc/passwd\r\n");
  });
  std::string body;
  EXPECT_FALSE(Get(server.Url("/"), body));
  EXPECT_EQ(body, "");
}

TEST_F(HttpClientTest, RefusedConnectionFails) {
  RefusingPort port;
  std::string body;
  EXPECT_FALSE(Get(port.Url(), body));
  EXPECT_TRUE(host.gauge.empty());
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
}

TEST_F(HttpClientTest, TestsNeverLeaveThisMachine) {
  // Every test program restricts the client to loopback; a window built
  // with the real service addresses therefore fails fast and quietly.
  std::string body;
  EXPECT_FALSE(Get("http://www.example.com/", body));
  EXPECT_FALSE(Get("http://10.0.0.1:8080/x", body));
  EXPECT_EQ(host.pumps, 0);
  EXPECT_TRUE(host.gauge.empty());
}

TEST_F(HttpClientTest, ReservedInvalidHostFailsWithoutALookup) {
  std::string body;
  EXPECT_FALSE(Get("http://no-such-host.invalid/page", body));
  EXPECT_FALSE(Get("http://INVALID./", body));
  EXPECT_EQ(host.pumps, 0);
}

TEST_F(HttpClientTest, ProxyEnvironmentIsIgnored) {
  RawHttpServer proxy([](const Request&) { return Ok("from the proxy"); });
  RawHttpServer server([](const Request&) { return Ok("direct"); });
  ::setenv("http_proxy", proxy.Url("").c_str(), 1);
  ::setenv("HTTP_PROXY", proxy.Url("").c_str(), 1);
  std::string body;
  const bool ok = Get(server.Url("/"), body);
  ::unsetenv("http_proxy");
  ::unsetenv("HTTP_PROXY");
  EXPECT_TRUE(ok);
  EXPECT_EQ(body, "direct");
  EXPECT_EQ(proxy.RequestCount(), 0u);
}

TEST_F(HttpClientTest, GaugeRunsFromZeroToTheAnnouncedLength) {
  const std::string page(40'000, 'p');
  RawHttpServer server([&page](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n\r\n")
        .Drip(page, 10'000, 20ms)
        .KeepAlive();
  });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/"), body));
  EXPECT_EQ(body, page);

  const auto& g = host.gauge;
  ASSERT_GE(g.size(), 3u) << host.GaugeText();
  EXPECT_EQ(g.front(), (FakeFetchHost::Event{Kind::kBegin, 40'000})) << host.GaugeText();
  EXPECT_EQ(g.back().kind, Kind::kEnd);
  EXPECT_EQ(g[g.size() - 2], (FakeFetchHost::Event{Kind::kWork, 40'000})) << host.GaugeText();
  EXPECT_GE(host.WorkCount(), 2) << "the drip should show as several steps: " << host.GaugeText();
  for (std::size_t i = 2; i + 1 < g.size(); ++i) EXPECT_GT(g[i].value, g[i - 1].value);
  EXPECT_EQ(host.gaugeValue, 40'000);
  EXPECT_GE(host.pumps, static_cast<int>(g.size())) << "every progress event pumps messages";
}

TEST_F(HttpClientTest, GaugeOfAnUnannouncedLengthStartsAtZeroMaximum) {
  RawHttpServer server([](const Request&) {
    return Reply().Send(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n");
  });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/"), body));
  EXPECT_EQ(host.GaugeText(), "begin 0, work 4, end");
}

TEST_F(HttpClientTest, PostReportsSendingAndReceiving) {
  RawHttpServer server([](const Request&) { return Ok("done"); });
  std::string reply;
  ASSERT_TRUE(http.Post(server.Url("/p"), "text/plain", std::string(300, 'b'), reply));
  EXPECT_EQ(host.GaugeText(), "begin 300, work 300, end, begin 4, work 4, end");
}

TEST_F(HttpClientTest, SetAbortFlagCutsAnAnnouncedBodyAtTheFirstProgress) {
  RawHttpServer server([](const Request&) {
    return Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nfirst").Hold();
  });
  host.abort = true;  // left set by an earlier "Stop"
  std::string body;
  EXPECT_FALSE(Get(server.Url("/"), body));
  EXPECT_EQ(host.GaugeText(), "begin 1000, work 5, end");
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection must be closed at once";
}

TEST_F(HttpClientTest, SetAbortFlagCutsAPostWhileSending) {
  RawHttpServer server([](const Request&) { return Ok("OK"); });
  host.abort = true;
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(server.Url("/news"), "text/plain", "body", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(host.GaugeText(), "begin 4, work 4, end");
}

TEST_F(HttpClientTest, SetAbortFlagEndsABodyUntilCloseLikeAClose) {
  RawHttpServer server(
      [](const Request&) { return Reply().Send("HTTP/1.0 200 OK\r\n\r\nfirst").Hold(); });
  host.abort = true;
  std::string body;
  EXPECT_TRUE(Get(server.Url("/"), body));
  EXPECT_EQ(body, "first");
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

TEST_F(HttpClientTest, DisconnectFromAPumpEndsAWaitForASilentServer) {
  RawHttpServer server([](const Request&) { return Reply().Hold(); });
  host.onPump = [this] { http.Disconnect(); };
  std::string body;
  EXPECT_FALSE(Get(server.Url("/"), body));
  EXPECT_EQ(host.pumps, 1);
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
  EXPECT_FALSE(http.Busy());
}

TEST_F(HttpClientTest, ClosingTheWindowDuringConnectEndsTheRequest) {
  StalledListener stalled;
  host.onPump = [this] {
    http.Disconnect();
    host.abort = true;
  };
  std::string body;
  EXPECT_FALSE(Get(stalled.Url(), body));
  EXPECT_EQ(host.pumps, 1);
  EXPECT_TRUE(host.gauge.empty());
}

TEST_F(HttpClientTest, ConnectTimeOutFailsAndPumpsMeanwhile) {
  StalledListener stalled;
  HttpClient timed{host, {.connectTimeout = 400ms}};
  std::string body;
  EXPECT_FALSE(GetWith(timed, stalled.Url(), body));
  EXPECT_GE(host.pumps, 1) << "messages are handled while connecting";
}

TEST_F(HttpClientTest, NestedRequestsAreRefusedAndTheRunningOneGoesOn) {
  RawHttpServer server([](const Request&) {
    return Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nou").Pause(300ms).Send("ter!");
  });
  int nested = 0;
  host.onPump = [&] {
    if (nested++ > 0) return;
    EXPECT_TRUE(http.Busy());
    std::string inner = "keep";
    EXPECT_FALSE(http.Get(server.Url("/inner"), [](std::string_view) { return true; }));
    EXPECT_FALSE(http.Post(server.Url("/inner"), "text/plain", "x", inner));
    EXPECT_EQ(inner, "");
  };
  std::string body;
  EXPECT_TRUE(Get(server.Url("/outer"), body));
  EXPECT_EQ(body, "outer!");
  EXPECT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
}

TEST_F(HttpClientTest, AnExceptionFromAPumpLeavesTheClientUsable) {
  RawHttpServer server([](const Request& r) {
    if (r.target == "/hold") return Reply().Hold();
    return Ok("fine");
  });
  host.onPump = [] { throw std::runtime_error("handler failed"); };
  std::string body;
  EXPECT_THROW(Get(server.Url("/hold"), body), std::runtime_error);
  EXPECT_FALSE(http.Busy());
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
  host.onPump = nullptr;
  EXPECT_TRUE(Get(server.Url("/next"), body));
  EXPECT_EQ(body, "fine");
}

TEST_F(HttpClientTest, AnExceptionAfterTheBodyEndsTheGaugeAndDropsTheConnection) {
  // The body is in and the server keeps the connection for another
  // request; the error comes from the pump of the progress event.
  RawHttpServer server([](const Request& r) {
    if (r.target == "/next") return Ok("fine");
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n")
        .KeepAlive();
  });
  host.onPump = [this] {
    if (host.WorkCount() > 0) throw std::runtime_error("handler failed");
  };
  std::string body;
  EXPECT_THROW(Get(server.Url("/page"), body), std::runtime_error);
  EXPECT_EQ(host.GaugeText(), "begin 0, work 4, end") << "the gauge is not left running";
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection was kept";
  host.onPump = nullptr;
  EXPECT_TRUE(Get(server.Url("/next"), body));
  EXPECT_EQ(body, "fine");
}

TEST_F(HttpClientTest, ACutWithoutTheAbortFlagFailsABodyUntilClose) {
  // Only a stop or the window closing ends such a body like the server's
  // close; a request cut for another reason did not get its whole body.
  RawHttpServer server(
      [](const Request&) { return Reply().Send("HTTP/1.0 200 OK\r\n\r\nfirst").Hold(); });
  host.onPump = [this] {
    if (host.WorkCount() > 0) http.Disconnect();
  };
  std::string body;
  EXPECT_FALSE(Get(server.Url("/"), body));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

TEST_F(HttpClientTest, DisconnectAsTheRequestStartsSendsNothing) {
  RawHttpServer server([](const Request&) { return Ok("x"); });
  host.onRequestRunning = [this](bool on) {
    if (on) http.Disconnect();
  };
  std::string body;
  EXPECT_FALSE(Get(server.Url("/"), body));
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(server.Url("/p"), "text/plain", "x", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(server.ConnectionCount(), 0);
  EXPECT_EQ(host.running, (std::vector<bool>{true, false, true, false}));
  host.onRequestRunning = nullptr;
  EXPECT_TRUE(Get(server.Url("/"), body));
}

// --- The idle limit: a connection that stands but stays silent.

struct IdleCase {
  const char* name;
  Reply reply;
};
void PrintTo(const IdleCase& c, std::ostream* os) {
  *os << c.name;
}

class IdleLimitTest : public HttpClientTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(IdleLimitTest, EndsTheRequestLikeALostConnection) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) { return c.reply; });
  HttpClient timed{host, {.idleTimeout = 300ms}};
  ExpectLostAfter(timed, server, 300ms);
  EXPECT_GE(host.pumps, 1) << "the window is served while the client waits";
  if (!host.gauge.empty()) {
    EXPECT_EQ(host.gauge.back().kind, Kind::kEnd) << host.GaugeText();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Silences, IdleLimitTest,
    ::testing::Values(
        IdleCase{"NoAnswerAtAll", Reply().Hold()},
        IdleCase{"HeadWithoutBody",
                 Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n").Hold()},
        IdleCase{"HalfAnAnnouncedBody",
                 Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf").Hold()},
        IdleCase{"ChunkedWithoutItsEnd",
                 Reply()
                     .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n")
                     .Hold()},
        // Silence is no close: a body until the close does not end by it.
        IdleCase{"BodyUntilCloseThatStops", Reply().Send("HTTP/1.0 200 OK\r\n\r\nfirst").Hold()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpClientTest, IdleLimitCountsSilenceNotTheWholeRequest) {
  // Six pieces 150 ms apart: longer in all than the limit, never silent
  // for as long.
  const std::string page(60, 'p');
  RawHttpServer server([&page](const Request&) {
    return Reply()
        .Pause(150ms)
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 60\r\n\r\n")
        .Drip(page, 10, 150ms);
  });
  HttpClient timed{host, {.idleTimeout = 400ms}};
  std::string body;
  EXPECT_TRUE(GetWith(timed, server.Url("/"), body));
  EXPECT_EQ(body, page);
}

TEST_F(HttpClientTest, IdleLimitLeavesTheConnectTimeOutAlone) {
  StalledListener stalled;
  HttpClient timed{host, {.connectTimeout = 800ms, .idleTimeout = 100ms}};
  std::string body;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(GetWith(timed, stalled.Url(), body));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 700ms)
      << "the connect phase is bounded by the connect time-out only";
}

TEST_F(HttpClientTest, ASinkThatRefusesFailsTheRequest) {
  RawHttpServer server([](const Request&) { return Ok("data"); });
  EXPECT_FALSE(http.Get(server.Url("/"), [](std::string_view) { return false; }));
}

TEST_F(HttpClientTest, DisconnectWhileIdleClosesTheKeptConnection) {
  RawHttpServer server([](const Request&) { return Ok("x"); });
  std::string body;
  ASSERT_TRUE(Get(server.Url("/"), body));
  EXPECT_EQ(server.ClientCloses(), 0);
  http.Disconnect();
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

// A GET asked to close its connection leaves none for Disconnect(); one
// kept by an earlier request is still closed by it.
TEST_F(HttpClientTest, AGetThatClosesItsConnectionLeavesTheKeptOnesToDisconnect) {
  RawHttpServer kept([](const Request&) { return Ok("x"); });
  RawHttpServer closed([](const Request&) { return Ok("y"); });
  std::string body;
  ASSERT_TRUE(Get(kept.Url("/"), body));
  const auto collect = [&body](std::string_view piece) {
    body.append(piece);
    return true;
  };
  body.clear();
  ASSERT_TRUE(http.Get(closed.Url("/"), collect, HttpClient::After::kClose));
  EXPECT_EQ(body, "y");
  EXPECT_TRUE(closed.WaitForClientCloses(1, 5s)) << "closed as the request ended";
  EXPECT_EQ(kept.ClientCloses(), 0);

  http.Disconnect();
  EXPECT_TRUE(kept.WaitForClientCloses(1, 5s));

  // Nothing kept since: a Disconnect() between requests that close is harmless,
  // and the next kept connection is still closed by the one after it.
  ASSERT_TRUE(http.Get(closed.Url("/"), collect, HttpClient::After::kClose));
  http.Disconnect();
  ASSERT_TRUE(Get(kept.Url("/"), body));
  EXPECT_EQ(kept.ClientCloses(), 1);
  http.Disconnect();
  EXPECT_TRUE(kept.WaitForClientCloses(2, 5s));
  EXPECT_TRUE(closed.WaitForClientCloses(2, 5s));
}

// --- The limits on a whole request: its time and the size of its body.

TEST_F(HttpClientTest, TotalLimitEndsADripThatIsNeverIdleForLong) {
  // A byte every 100 ms keeps the idle limit away forever.
  RawHttpServer server([](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
        .Drip(std::string(1000, 'd'), 1, 100ms);
  });
  HttpClient timed{host, {.idleTimeout = 400ms, .totalLimit = 700ms}};
  ExpectLostAfter(timed, server, 700ms);
  EXPECT_EQ(host.gauge.back().kind, Kind::kEnd) << host.GaugeText();
}

TEST_F(HttpClientTest, TotalLimitCountsTheRedirectsOfOneCall) {
  // Each hop is quick; together they are not.
  RawHttpServer server([](const Request& r) {
    const int n = std::stoi(r.target.substr(1));
    return Reply()
        .Pause(150ms)
        .Send("HTTP/1.1 302 Found\r\nContent-Length: 0\r\nLocation: /" + std::to_string(n + 1) +
              "\r\n\r\n")
        .KeepAlive();
  });
  HttpClient timed{host, {.totalLimit = 500ms}};
  std::string body;
  EXPECT_FALSE(GetWith(timed, server.Url("/0"), body));
  EXPECT_LE(server.RequestCount(), 5u);
}

struct BodyLimitCase {
  const char* name;
  Reply reply;
  bool ok;
  std::size_t delivered;  // bytes handed to the sink at most
};
void PrintTo(const BodyLimitCase& c, std::ostream* os) {
  *os << c.name;
}

class BodyLimitTest : public HttpClientTest, public ::testing::WithParamInterface<BodyLimitCase> {};

// With a limit of 1,000 bytes.
TEST_P(BodyLimitTest, AReplyBeyondTheLimitFailsLikeALostConnection) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) { return c.reply; });
  HttpClient limited{host, {.maxBodyBytes = 1000}};
  std::size_t delivered = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(limited.Get(server.Url("/"),
                        [&delivered](std::string_view piece) {
                          delivered += piece.size();
                          return true;
                        }),
            c.ok);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_LE(delivered, c.delivered);
  if (!c.ok) {
    EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the connection is closed";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, BodyLimitTest,
    ::testing::Values(
        BodyLimitCase{"AtTheLimit",
                      Reply()
                          .Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
                          .Send(std::string(1000, 'a'))
                          .Hold(),
                      true, 1000},
        // Not one byte of it is waited for.
        BodyLimitCase{
            "AnnouncedBeyond",
            Reply().Send("HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n").Endless("x"),
            false, 0},
        BodyLimitCase{"ChunkedGrowingBeyond",
                      Reply()
                          .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                          .Endless("10\r\n0123456789abcdef\r\n"),
                      false, 1000},
        BodyLimitCase{"UntilCloseGrowingBeyond",
                      Reply().Send("HTTP/1.0 200 OK\r\n\r\n").Endless("u"), false, 1000},
        BodyLimitCase{"ErrorPageBeyond",
                      Reply().Send("HTTP/1.1 404 Not Found\r\n\r\n").Endless("e"), false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
