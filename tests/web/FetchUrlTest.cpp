#include "web/FetchUrl.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "base/ProgramFolder.h"
#include "support/FakeFetchHost.h"
#include "support/RawHttpServer.h"
#include "support/RefusingPort.h"
#include "support/StalledListener.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using namespace std::chrono_literals;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

const std::string kCompleted = "Process completed sucessfull!";
const std::string kAborted = "Process aborted!";
const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

class FetchUrlTest : public ::testing::Test {
 protected:
  std::string Getting(const std::string& url) const { return "Getting URL: " + url + "..."; }

  TempFolder folder{/*asProgramFolder=*/true};
  FakeFetchHost host;
  HttpClient http{host};
  std::string page = "stale page";
};

TEST_F(FetchUrlTest, DownloadsAPageThroughTheWorkingFile) {
  folder.Write("test.html", "an old working file, much longer than the new page");
  bool stagedInFile = false;
  host.onPump = [&] { stagedInFile = stagedInFile || folder.Exists("test.html"); };
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "<p>\nhi</p>"); });
  const std::string url = server.Url("/?seed=golf+clubs");

  ASSERT_TRUE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "<p>\r\nhi</p>\r\n");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kCompleted}));
  EXPECT_TRUE(stagedInFile);
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the fetch closes its connection";
}

// Anyone who can write to the program folder can leave a link named like
// the working file: the page must not be written into the file it names.
TEST_F(FetchUrlTest, AWorkingFileThatIsALinkIsNotWrittenThrough) {
  TempFolder elsewhere;
  elsewhere.Write("precious.txt", "keep me");
  std::filesystem::create_symlink(elsewhere.File("precious.txt"), folder.File("test.html"));
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "page"); });

  ASSERT_TRUE(FetchUrl(http, server.Url("/"), page));
  EXPECT_EQ(page, "page\r\n");
  EXPECT_EQ(elsewhere.Read("precious.txt"), "keep me");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder.File("test.html"))));
}

TEST_F(FetchUrlTest, GaugeGoesFromZeroToItsMaximum) {
  const std::string body(30'000, 'x');
  RawHttpServer server([&body](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 30000\r\n\r\n")
        .Drip(body, 10'000, 20ms);
  });
  ASSERT_TRUE(FetchUrl(http, server.Url("/"), page));
  ASSERT_GE(host.gauge.size(), 4u);
  EXPECT_EQ(host.gauge[0], (FakeFetchHost::Event{FakeFetchHost::Event::Kind::kWork, 0}))
      << "the fetch sets the gauge to 0 first: " << host.GaugeText();
  EXPECT_EQ(host.gauge[1], (FakeFetchHost::Event{FakeFetchHost::Event::Kind::kBegin, 30'000}));
  EXPECT_EQ(host.gauge.back().kind, FakeFetchHost::Event::Kind::kEnd);
  EXPECT_EQ(host.gaugeMax, 30'000);
  EXPECT_EQ(host.gaugeValue, 30'000);
}

struct LinesCase {
  const char* name;
  std::string body;
  std::string page;
};
void PrintTo(const LinesCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchUrlLinesTest : public FetchUrlTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(FetchUrlLinesTest, ReadsTheBodyBackAsCrLfLines) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) { return RawHttpServer::Respond(200, c.body); });
  ASSERT_TRUE(FetchUrl(http, server.Url("/"), page));
  EXPECT_EQ(page, c.page);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, FetchUrlLinesTest,
    ::testing::Values(LinesCase{"LoneLf", "a\nb", "a\r\nb\r\n"},
                      LinesCase{"EmptyLineBetween", "a\r\n\r\nb", "a\r\n\r\nb\r\n"},
                      LinesCase{"LoneCrAndCrCrLf", "a\rb\r\r\nc\r", "a\r\nb\r\n\r\nc\r\n"},
                      LinesCase{"Empty", "", ""},
                      LinesCase{"StopsAtNul", std::string("ab\0cd\r\nef", 9), "ab\r\n"},
                      LinesCase{"HighBytesKept", "caf\xE9\xAF", "caf\xE9\xAF\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchUrlTest, AChunkedPageArrivesWhole) {
  RawHttpServer server([](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n6\r\nline1\n\r\n")
        .Pause(30ms)
        .Send("5\r\nline2\r\n0\r\n\r\n");
  });
  ASSERT_TRUE(FetchUrl(http, server.Url("/"), page));
  EXPECT_EQ(page, "line1\r\nline2\r\n");
}

struct FailureCase {
  const char* name;
  std::string raw;  // what the server sends before it closes
};
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchUrlFailureTest : public FetchUrlTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FetchUrlFailureTest, ShowsTheConnectionErrorAndLeavesNothing) {
  RawHttpServer server([](const Request&) { return Reply().Send(GetParam().raw); });
  const std::string url = server.Url("/page");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
}

INSTANTIATE_TEST_SUITE_P(
    Responses, FetchUrlFailureTest,
    ::testing::Values(
        FailureCase{"NotFoundWithAPage",
                    "HTTP/1.1 404 Not Found\r\nContent-Length: 15\r\n\r\n<h1>Gone</h1>\r\n"},
        FailureCase{"BodyCutShort", "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nhalf a page"},
        FailureCase{"RedirectWithoutLocation", "HTTP/1.1 301 Moved\r\nContent-Length: 0\r\n\r\n"},
        FailureCase{"ClosedWithoutAnswer", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchUrlTest, RefusedConnectionAndUnknownHostFail) {
  RefusingPort refusing;
  for (const std::string& url :
       {refusing.Url("/"), std::string("http://no-such-host.invalid/page")}) {
    host.statuses.clear();
    page = "stale";
    EXPECT_FALSE(FetchUrl(http, url, page)) << url;
    EXPECT_EQ(page, "");
    EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
    EXPECT_FALSE(folder.Exists("test.html"));
  }
}

TEST_F(FetchUrlTest, ASetAbortFlagRefusesAtOnceAndTouchesNothing) {
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "x"); });
  host.abort = true;
  EXPECT_FALSE(FetchUrl(http, server.Url("/"), page));
  EXPECT_EQ(page, "stale page");
  EXPECT_TRUE(host.statuses.empty());
  EXPECT_TRUE(host.gauge.empty());
  EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(FetchUrlTest, CookiesCarryAcrossFetches) {
  RawHttpServer server([](const Request& r) {
    if (r.target == "/first")
      return RawHttpServer::Respond(200, "1",
                                    "Set-Cookie: sid=1\r\nSet-Cookie2: v2=2; Version=1\r\n");
    return RawHttpServer::Respond(200, r.Header("Cookie"));
  });
  ASSERT_TRUE(FetchUrl(http, server.Url("/first"), page));
  ASSERT_TRUE(FetchUrl(http, server.Url("/second"), page));
  EXPECT_EQ(page, "sid=1; v2=2\r\n");
}

// What the window does when "Stop" is clicked or the window is closed
// while a page arrives: set the flag and close the connection.
struct AbortCase {
  const char* name;
  std::string head;  // response head and the first body bytes
  std::string status;
};
void PrintTo(const AbortCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchUrlAbortTest : public FetchUrlTest, public ::testing::WithParamInterface<AbortCase> {};

TEST_P(FetchUrlAbortTest, StopDuringTheBody) {
  const auto& c = GetParam();
  RawHttpServer server([&c](const Request&) { return Reply().Send(c.head).Hold(); });
  host.onPump = [this] {
    if (host.WorkCount() > 1) {  // the first body bytes are in
      host.abort = true;
      http.Disconnect();
    }
  };
  const std::string url = server.Url("/");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), c.status}));
  EXPECT_FALSE(folder.Exists("test.html"));
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

INSTANTIATE_TEST_SUITE_P(
    Framings, FetchUrlAbortTest,
    ::testing::Values(
        AbortCase{"AnnouncedLength", "HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\npart",
                  kConnectionError},
        AbortCase{"Chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\npart\r\n",
                  kConnectionError},
        // Cut while the server was to end the body by closing: it ends
        // like a close, and the flag makes it an abort.
        AbortCase{"UntilClose", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\npart", kAborted}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchUrlTest, AbortFlagAloneCutsAtTheNextProgress) {
  // "Stop" in a gathering run only sets the flag while this fetch runs.
  RawHttpServer server([](const Request&) {
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nab")
        .Pause(50ms)
        .Send("cd")
        .Hold();
  });
  host.onPump = [this] {
    if (host.WorkCount() > 1) host.abort = true;
  };
  const std::string url = server.Url("/");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(host.statuses.back(), kConnectionError);
  EXPECT_TRUE(server.WaitForClientCloses(1, 5s));
}

TEST_F(FetchUrlTest, ClosingTheWindowDuringConnect) {
  StalledListener stalled;
  host.onPump = [this] {
    if (host.pumps < 2) return;  // the first pump is the fetch's own
    http.Disconnect();
    host.abort = true;
  };
  const std::string url = stalled.Url("/");
  EXPECT_FALSE(FetchUrl(http, url, page));
  EXPECT_EQ(host.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
  EXPECT_FALSE(folder.Exists("test.html"));
}

TEST_F(FetchUrlTest, ANestedFetchIsRefusedAndSparesTheRunningOne) {
  RawHttpServer server([](const Request& r) {
    if (r.target != "/outer") return RawHttpServer::Respond(200, "inner");
    return Reply()
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\nfirst ")
        .Pause(200ms)
        .Send("second");
  });
  std::string inner = "inner untouched";
  bool nestedResult = true;
  std::size_t statusesBefore = 0;
  host.onPump = [&] {
    if (host.WorkCount() != 2 || !nestedResult) return;
    statusesBefore = host.statuses.size();
    nestedResult = FetchUrl(http, server.Url("/inner"), inner);
    EXPECT_EQ(host.statuses.size(), statusesBefore);
  };
  ASSERT_TRUE(FetchUrl(http, server.Url("/outer"), page));
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(inner, "inner untouched");
  EXPECT_EQ(page, "first second\r\n");
  EXPECT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(host.statuses.back(), kCompleted);
}

TEST_F(FetchUrlTest, AProgramFolderThatTakesNoFileIsReported) {
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "x"); });
  // The folder is a plain file: nothing can be created in it, whoever runs
  // the test (a read-only folder does not stop root).
  folder.Write("not-a-folder", "");
  SetProgramFolder(folder.File("not-a-folder"));
  const std::string expected = "Cannot create the working file " +
                               folder.File("not-a-folder/test.html").string() + ": Not a directory";
  EXPECT_FALSE(FetchUrl(http, server.Url("/"), page));
  SetProgramFolder(folder.Path());
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{expected}));
  EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(FetchUrlTest, AReadOnlyProgramFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "x"); });
  std::filesystem::permissions(
      folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(FetchUrl(http, server.Url("/"), page));
  ASSERT_EQ(host.statuses.size(), 1u);
  EXPECT_EQ(host.statuses[0], "Cannot create the working file " +
                                  folder.File("test.html").string() + ": Permission denied");
  EXPECT_EQ(server.RequestCount(), 0u);
}

}  // namespace
