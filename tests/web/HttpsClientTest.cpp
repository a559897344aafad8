// The HTTP client over TLS, against local https servers whose certificates
// a throw-away authority signs at test time: the same request bytes as
// over plain HTTP, certificates always verified, redirects that never
// leave https for http, Secure cookies only over https, TLS sessions
// resumed across connections.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/CertificateFaults.h"
#include "support/FakeFetchHost.h"
#include "support/RawHttpServer.h"
#include "support/TempFolder.h"
#include "support/TestAuthority.h"
#include "web/FetchUrl.h"
#include "web/HttpClient.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;
using Strings = std::vector<std::string>;

const std::string kConnectionError = "Connection error, check if you are connected and url exists.";
const std::string kCompleted = "Process completed sucessfull!";

Reply Ok(std::string_view body) {
  return RawHttpServer::Respond(200, body);
}

class HttpsClientTest : public ::testing::Test {
 protected:
  RawHttpServer::Tls Certificate(const std::vector<std::string>& names,
                                 TestAuthority::Validity validity = {}) {
    const auto issued = authority.Issue("server" + std::to_string(++issued_), names, validity);
    return {issued.certificate, issued.key};
  }
  HttpClient::Options Trusting() const { return {.testAuthority = authority.CertificateFile()}; }

  TempFolder folder{/*asProgramFolder=*/true};
  TestAuthority authority{folder.Path()};
  FakeFetchHost host;
  HttpClient http{host, Trusting()};

 private:
  int issued_ = 0;
};

TEST_F(HttpsClientTest, RequestsInsideTlsAreTheSameBytesAsOverPlainHttp) {
  const auto answer = [](const Request& r) { return Ok(r.method == "POST" ? "OK" : "page"); };
  RawHttpServer plain(answer);
  RawHttpServer secure(answer, Certificate({"127.0.0.1"}));
  const std::string form =
      "--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n\xAF\r\n--b--\r\n";
  for (RawHttpServer* server : {&plain, &secure}) {
    std::string body;
    ASSERT_TRUE(http.Get(server->Url("/search?q=%22golf+clubs%22"), [&body](std::string_view p) {
      body.append(p);
      return true;
    }));
    EXPECT_EQ(body, "page");
    std::string reply;
    ASSERT_TRUE(http.Post(server->Url("/news/getlastnews.php"), "multipart/form-data; boundary=b",
                          form, reply));
    EXPECT_EQ(reply, "OK");
  }
  const auto plainRequests = plain.Requests();
  const auto secureRequests = secure.Requests();
  ASSERT_EQ(plainRequests.size(), 2u);
  ASSERT_EQ(secureRequests.size(), 2u);
  const std::string plainHost = "127.0.0.1:" + std::to_string(plain.Port());
  const std::string secureHost = "127.0.0.1:" + std::to_string(secure.Port());
  for (std::size_t i = 0; i < 2; ++i) {
    std::string expected = plainRequests[i].bytes;
    expected.replace(expected.find(plainHost), plainHost.size(), secureHost);
    EXPECT_EQ(secureRequests[i].bytes, expected);
  }
  EXPECT_EQ(secureRequests[1].bytes.substr(0, 37), "POST /news/getlastnews.php HTTP/1.0\r\n");
  // HTTP/1.1 only: no HTTP/2 is offered.
  EXPECT_EQ(secure.OfferedProtocols().find("h2"), std::string::npos) << secure.OfferedProtocols();
}

// A server whose certificate does not verify gets no request at all, and
// the status line names the host and the reason.
class CertificateTest : public HttpsClientTest,
                        public ::testing::WithParamInterface<CertificateFault> {
 protected:
  TestAuthority stranger{folder.Path(), "stranger-authority"};
};

TEST_P(CertificateTest, EndsTheFetchWithItsReasonAndLeavesNothing) {
  const auto& c = GetParam();
  RawHttpServer server([](const Request&) { return Ok("secret page"); },
                       FaultyTls(c, authority, stranger, "faulty"));
  HttpClient& client = http;
  const std::string url = server.Url("/page");
  std::string page = "stale";
  EXPECT_FALSE(FetchUrl(client, url, page));
  EXPECT_EQ(page, "");
  const std::string expected = "Secure connection to 127.0.0.1 refused: " + c.reason + ".";
  EXPECT_EQ(host.statuses, (Strings{"Getting URL: " + url + "...", expected}));
  EXPECT_EQ(client.SecurityFailure(), expected);
  EXPECT_EQ(server.RequestCount(), 0u) << "the request went out";
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_EQ(host.GaugeText(), "work 0") << "only the fetch's own start; no transfer began";

  // The news POST is refused the same way, with an empty reply.
  std::string reply = "stale";
  EXPECT_FALSE(client.Post(server.Url("/news/getlastnews.php"), "text/plain", "form", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(host.statuses.back(), expected);
  EXPECT_EQ(server.RequestCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Certificates, CertificateTest, ::testing::ValuesIn(CertificateFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

// Without the test authority the system's store decides: it does not know
// the throw-away authority, and there is no switch to skip it.
TEST_F(HttpsClientTest, WithoutTheTestAuthorityTheSystemsStoreDecides) {
  RawHttpServer server([](const Request&) { return Ok("page"); }, Certificate({"127.0.0.1"}));
  HttpClient untrusting{host};
  std::string page;
  EXPECT_FALSE(FetchUrl(untrusting, server.Url("/"), page));
  EXPECT_EQ(host.statuses.back(),
            "Secure connection to 127.0.0.1 refused: its certificate is signed by an unknown "
            "authority.");
  EXPECT_EQ(server.RequestCount(), 0u);
  EXPECT_TRUE(FetchUrl(http, server.Url("/"), page)) << "the same server, trusted";
}

// --- Redirects between http and https.

TEST_F(HttpsClientTest, ARedirectFromHttpToHttpsIsFollowed) {
  RawHttpServer secure([](const Request& r) { return Ok("secure " + r.target); },
                       Certificate({"127.0.0.1"}));
  RawHttpServer plain([&](const Request& r) {
    return RawHttpServer::Respond(301, "", "Location: " + secure.Url(r.target) + "\r\n");
  });
  std::string page;
  const std::string url = plain.Url("/search?q=%22golf+clubs%22");
  ASSERT_TRUE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "secure /search?q=%22golf+clubs%22\r\n");
  EXPECT_EQ(host.statuses.back(), kCompleted);
  ASSERT_EQ(secure.RequestCount(), 1u);
  EXPECT_EQ(secure.Requests()[0].method, "GET");
}

TEST_F(HttpsClientTest, ARedirectFromHttpsDownToHttpIsRefused) {
  RawHttpServer plain([](const Request&) { return Ok("in clear text"); });
  RawHttpServer secure(
      [&](const Request& r) {
        return RawHttpServer::Respond(302, "", "Location: " + plain.Url(r.target) + "\r\n");
      },
      Certificate({"127.0.0.1"}));
  const std::string url = secure.Url("/?seed=golf+clubs");
  std::string page = "stale";
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "");
  const std::string refused = "Redirect from https://127.0.0.1:" + std::to_string(secure.Port()) +
                              " to http://127.0.0.1:" + std::to_string(plain.Port()) +
                              " refused: it would leave the secure connection.";
  EXPECT_EQ(host.statuses, (Strings{"Getting URL: " + url + "...", refused}));
  EXPECT_EQ(plain.RequestCount(), 0u);
  EXPECT_FALSE(folder.Exists("test.html"));

  // A POST's redirect down to http is refused the same way.
  std::string reply = "stale";
  EXPECT_FALSE(http.Post(secure.Url("/news/getlastnews.php"), "text/plain", "form", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(plain.RequestCount(), 0u);
}

TEST_F(HttpsClientTest, ALoopAcrossHttpAndHttpsStopsAtTheRequestLimit) {
  int port = 0;
  RawHttpServer secure(
      [&port](const Request& r) {
        // The chain enters by http and goes round within https.
        return RawHttpServer::Respond(
            302, "", "Location: https://127.0.0.1:" + std::to_string(port) + r.target + "x\r\n");
      },
      Certificate({"127.0.0.1"}));
  port = secure.Port();
  RawHttpServer plain([&](const Request& r) {
    return RawHttpServer::Respond(302, "", "Location: " + secure.Url(r.target) + "\r\n");
  });
  std::string page;
  EXPECT_FALSE(FetchUrl(http, plain.Url("/loop"), page));
  EXPECT_EQ(host.statuses.back(), kConnectionError);
  EXPECT_EQ(plain.RequestCount() + secure.RequestCount(), 15u);
  EXPECT_EQ(secure.ResumedSessions(), static_cast<int>(secure.ConnectionCount()) - 1)
      << "every connection after the first resumes the session";
}

// --- Cookies and sessions.

TEST_F(HttpsClientTest, ASecureCookieGoesOnlyOverHttps) {
  // One host name, its https and http ports both led to local servers
  // (a loopback name would count as secure to the cookie engine).
  const auto cookies = [](const Request& r) {
    if (r.target == "/login")
      return RawHttpServer::Respond(200, "in",
                                    "Set-Cookie: s=1; Secure; Path=/\r\n"
                                    "Set-Cookie: p=2; Path=/\r\n"
                                    "Set-Cookie2: s2=3; Version=1; Secure; Path=/\r\n");
    return Ok(r.Header("Cookie"));
  };
  RawHttpServer secure(cookies, Certificate({"shop.example.test"}));
  RawHttpServer plain(cookies);
  HttpClient client{host,
                    {.connectTo = {{"shop.example.test", secure.Port(), secure.Port()},
                                   {"shop.example.test", plain.Port(), plain.Port()}},
                     .testAuthority = authority.CertificateFile()}};
  const auto get = [&client](const std::string& url) {
    std::string body;
    EXPECT_TRUE(client.Get(url, [&body](std::string_view p) {
      body.append(p);
      return true;
    })) << url;
    return body;
  };
  const std::string https = "https://shop.example.test:" + std::to_string(secure.Port());
  const std::string http = "http://shop.example.test:" + std::to_string(plain.Port());
  // The cookies a request carried, in name order.
  const auto sorted = [](std::string header) {
    std::vector<std::string> cookies;
    for (std::size_t start = 0; start <= header.size();) {
      const auto end = std::min(header.find("; ", start), header.size());
      cookies.push_back(header.substr(start, end - start));
      start = end + 2;
    }
    std::sort(cookies.begin(), cookies.end());
    return cookies;
  };
  get(https + "/login");
  EXPECT_EQ(get(http + "/page"), "p=2");
  EXPECT_EQ(sorted(get(https + "/page")), (Strings{"p=2", "s2=3", "s=1"}));
  EXPECT_EQ(secure.Requests()[1].Header("Host"),
            "shop.example.test:" + std::to_string(secure.Port()));
}

TEST_F(HttpsClientTest, PagesThatCloseTheirConnectionsResumeTheTlsSession) {
  RawHttpServer secure([](const Request&) { return Ok("page"); }, Certificate({"127.0.0.1"}));
  std::string page;
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(FetchUrl(http, secure.Url("/p" + std::to_string(i)), page));
  EXPECT_EQ(secure.ConnectionCount(), 4) << "a connection per page";
  EXPECT_EQ(secure.ResumedSessions(), 3);
  // A news POST, on a connection of its own, resumes too.
  std::string reply;
  ASSERT_TRUE(http.Post(secure.Url("/news"), "text/plain", "x", reply));
  EXPECT_EQ(secure.ResumedSessions(), 4);
}

TEST_F(HttpsClientTest, HostsMappedToThisMachineAreCheckedByTheirOwnName) {
  RawHttpServer secure([](const Request& r) { return Ok(r.Header("Host")); },
                       Certificate({"news.example.com"}));
  HttpClient client{host,
                    {.connectTo = {{"news.example.com", 443, secure.Port()}},
                     .testAuthority = authority.CertificateFile()}};
  std::string page;
  ASSERT_TRUE(FetchUrl(client, "https://news.example.com/x", page));
  EXPECT_EQ(page, "news.example.com\r\n") << "port 443 is not named";
  // Another name on the same route: its certificate is not for it.
  HttpClient other{
      host,
      {.connectTo = {{"", 443, secure.Port()}}, .testAuthority = authority.CertificateFile()}};
  EXPECT_FALSE(FetchUrl(other, "https://update.example.com/x", page));
  EXPECT_EQ(host.statuses.back(),
            "Secure connection to update.example.com refused: its certificate is for another "
            "host.");
}

}  // namespace
