// The page fetcher's working file "test.html" on a disk that runs full
// while the body is written, and in a read-only program folder. The fetch
// ends at once with false, an empty page and its status text, and the
// working file is gone.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ProgramFolder.h"
#include "support/FakeFetchHost.h"
#include "support/RawHttpServer.h"
#include "support/ReadOnlyFolder.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"
#include "web/FetchUrl.h"

using namespace quorvane;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

namespace {

const std::string kCompleted = "Process completed sucessfull!";
const std::string kConnectionError = "Connection error, check if you are connected and url exists.";

std::string Getting(const std::string& url) {
  return "Getting URL: " + url + "...";
}

bool IsEmpty(const fs::path& folder) {
  return fs::is_empty(folder);
}

std::string Body(std::size_t size) {
  std::string body;
  while (body.size() < size) body += "<p>a line of the result page</p>\n";
  body.resize(size);
  return body;
}

std::string Chunked(const std::string& body) {
  std::string out;
  for (std::size_t at = 0; at < body.size(); at += 4000) {
    const std::string piece = body.substr(at, 4000);
    char size[16];
    std::snprintf(size, sizeof size, "%zx", piece.size());
    out += std::string(size) + "\r\n" + piece + "\r\n";
  }
  return out + "0\r\n\r\n";
}

struct DiskCase {
  const char* name;
  std::uintmax_t room;
  Reply reply;
  bool fits;
  bool serverWaits;  // keeps the connection open: only the client's close ends it
};

void PrintTo(const DiskCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchUrlFullDiskTest : public testing::TestWithParam<DiskCase> {
 protected:
  // The disk comes first: it is mounted before the server starts threads.
  SmallDisk disk_{512 * 1024};
  FakeFetchHost host_;
  HttpClient http_{host_};
  std::string page_ = "stale page";
};

TEST_P(FetchUrlFullDiskTest, TheFetchEndsAndLeavesNoWorkingFile) {
  const DiskCase& c = GetParam();
  SetProgramFolder(disk_.Folder());
  RawHttpServer server([&c](const Request&) { return c.reply; });
  const std::string url = server.Url("/page");

  disk_.Fill(c.room);
  const bool fetched = FetchUrl(http_, url, page_);
  disk_.Unfill();
  SetProgramFolder({});

  if (c.fits) {
    EXPECT_TRUE(fetched);
    EXPECT_EQ(host_.statuses, (std::vector<std::string>{Getting(url), kCompleted}));
  } else {
    EXPECT_FALSE(fetched);
    EXPECT_EQ(page_, "");
    EXPECT_EQ(host_.statuses, (std::vector<std::string>{Getting(url), kConnectionError}));
    if (c.serverWaits) {
      EXPECT_TRUE(server.WaitForClientCloses(1, 5s)) << "the fetch closes its connection";
    }
  }
  EXPECT_TRUE(IsEmpty(disk_.Folder())) << "the working file is gone";
}

const std::string kBig = Body(300'000);

INSTANTIATE_TEST_SUITE_P(
    Bodies, FetchUrlFullDiskTest,
    testing::Values(
        DiskCase{"no room, a page with its length", 0, RawHttpServer::Respond(200, kBig), false,
                 true},
        DiskCase{"runs full half-way, a page with its length", 64 * 1024,
                 RawHttpServer::Respond(200, kBig), false, true},
        DiskCase{
            "runs full half-way, a chunked page", 64 * 1024,
            Reply().Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Chunked(kBig)),
            false, false},
        DiskCase{"runs full half-way, a page that ends when the server closes", 64 * 1024,
                 Reply().Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + kBig), false, false},
        DiskCase{"runs full, then the server stalls", 16 * 1024,
                 Reply()
                     .Send("HTTP/1.1 200 OK\r\nContent-Length: 10000000\r\n\r\n")
                     .Send(kBig.substr(0, 100'000))
                     .Hold(),
                 false, true},
        DiskCase{"a page that fits", 64 * 1024, RawHttpServer::Respond(200, Body(20'000)), true,
                 false}),
    [](const testing::TestParamInfo<DiskCase>& info) {
      std::string name;
      for (const char ch : std::string(info.param.name))
        if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
      return name;
    });

TEST(FetchUrlReadOnlyFolderTest, TheWorkingFileCannotBeCreated) {
  TempFolder folder(/*asProgramFolder=*/true);
  ReadOnlyFolder readOnly(folder.Path());
  if (!readOnly.Active()) GTEST_SKIP() << readOnly.WhyNotActive();
  FakeFetchHost host;
  HttpClient http{host};
  RawHttpServer server([](const Request&) { return RawHttpServer::Respond(200, "x"); });
  std::string page = "stale page";

  EXPECT_FALSE(FetchUrl(http, server.Url("/"), page));
  EXPECT_EQ(page, "");
  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Cannot create the working file " +
                                                     folder.File("test.html").string() + ": " +
                                                     std::strerror(readOnly.RefusalError())}));
  EXPECT_EQ(server.RequestCount(), 0u) << "nothing is asked for that cannot be kept";
  EXPECT_TRUE(IsEmpty(folder.Path()));
}

}  // namespace
