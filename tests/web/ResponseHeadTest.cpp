#include "web/ResponseHead.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

struct Expected {
  long status;
  bool headersDone;
  bool chunked;
  std::int64_t length;
  bool hasLocation;
  std::vector<std::string> cookie2;
};

struct Case {
  const char* name;
  std::vector<std::string> lines;  // as libcurl hands them over
  Expected head;
};

// Every line ends in CR LF unless a case says otherwise; the reader must
// not depend on it.
const Case kCases[] = {
    {"NothingReadYet", {}, {0, false, false, -1, false, {}}},
    {"StatusLine", {"HTTP/1.1 200 OK\r\n"}, {200, false, false, -1, false, {}}},
    {"StatusLineWithoutReason", {"HTTP/1.0 404\r\n"}, {404, false, false, -1, false, {}}},
    {"StatusLineWithoutCode", {"HTTP/1.1\r\n"}, {0, false, false, -1, false, {}}},
    {"BlankLineEndsAFinalHead", {"HTTP/1.1 200 OK\r\n", "\r\n"}, {200, true, false, -1, false, {}}},
    {"BlankLineOfBareLf", {"HTTP/1.1 204 No Content\n", "\n"}, {204, true, false, -1, false, {}}},
    {"InterimHeadIsNoEnd",
     {"HTTP/1.1 100 Continue\r\n", "\r\n"},
     {100, false, false, -1, false, {}}},
    {"InterimThenFinal",
     {"HTTP/1.1 100 Continue\r\n", "Content-Length: 3\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
      "Content-Length: 7\r\n", "\r\n"},
     {200, true, false, 7, false, {}}},
    {"ContentLength",
     {"HTTP/1.1 200 OK\r\n", "Content-Length: 40000\r\n"},
     {200, false, false, 40000, false, {}}},
    {"ContentLengthZero",
     {"HTTP/1.1 200 OK\r\n", "content-length: 0\r\n"},
     {200, false, false, 0, false, {}}},
    {"ContentLengthWithBlanks",
     {"HTTP/1.1 200 OK\r\n", "  CONTENT-LENGTH \t:  12 \t\r\n"},
     {200, false, false, 12, false, {}}},
    {"ContentLengthNotANumber",
     {"HTTP/1.1 200 OK\r\n", "Content-Length: 12abc\r\n"},
     {200, false, false, -1, false, {}}},
    {"ContentLengthNegative",
     {"HTTP/1.1 200 OK\r\n", "Content-Length: -5\r\n"},
     {200, false, false, -1, false, {}}},
    {"ContentLengthEmpty",
     {"HTTP/1.1 200 OK\r\n", "Content-Length:\r\n"},
     {200, false, false, -1, false, {}}},
    {"BadContentLengthKeepsAGoodOne",
     {"HTTP/1.1 200 OK\r\n", "Content-Length: 9\r\n", "Content-Length: x\r\n"},
     {200, false, false, 9, false, {}}},
    {"Chunked",
     {"HTTP/1.1 200 OK\r\n", "Transfer-Encoding: gzip, Chunked\r\n"},
     {200, false, true, -1, false, {}}},
    {"OtherTransferEncoding",
     {"HTTP/1.1 200 OK\r\n", "Transfer-Encoding: gzip\r\n"},
     {200, false, false, -1, false, {}}},
    {"Location",
     {"HTTP/1.1 302 Found\r\n", "Location: /next\r\n"},
     {302, false, false, -1, true, {}}},
    {"EmptyLocation",
     {"HTTP/1.1 302 Found\r\n", "location:  \r\n"},
     {302, false, false, -1, false, {}}},
    {"SetCookie2ValuesTrimmedInOrder",
     {"HTTP/1.1 200 OK\r\n", "Set-Cookie2:  a=1; Version=1 \r\n", "set-cookie2: b=2\r\n"},
     {200, false, false, -1, false, {"a=1; Version=1", "b=2"}}},
    {"SetCookieIsLibcurlsOwn",
     {"HTTP/1.1 200 OK\r\n", "Set-Cookie: a=1\r\n"},
     {200, false, false, -1, false, {}}},
    {"LineWithoutColonIsIgnored",
     {"HTTP/1.1 200 OK\r\n", "Content-Length 5\r\n"},
     {200, false, false, -1, false, {}}},
    {"NextResponseStartsAfreshButKeepsCookies",
     {"HTTP/1.1 302 Found\r\n", "Location: /b\r\n", "Content-Length: 4\r\n",
      "Transfer-Encoding: chunked\r\n", "Set-Cookie2: a=1\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
      "Set-Cookie2: b=2\r\n"},
     {200, false, false, -1, false, {"a=1", "b=2"}}},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class ResponseHeadTest : public ::testing::TestWithParam<Case> {};

TEST_P(ResponseHeadTest, ReadsTheLines) {
  const Case& c = GetParam();
  ResponseHead head;
  for (const auto& line : c.lines) head.Read(line);
  EXPECT_EQ(head.status, c.head.status);
  EXPECT_EQ(head.headersDone, c.head.headersDone);
  EXPECT_EQ(head.chunked, c.head.chunked);
  EXPECT_EQ(head.length, c.head.length);
  EXPECT_EQ(head.hasLocation, c.head.hasLocation);
  EXPECT_EQ(head.cookie2, c.head.cookie2);
}

INSTANTIATE_TEST_SUITE_P(Lines, ResponseHeadTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
