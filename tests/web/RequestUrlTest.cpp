#include "web/RequestUrl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace quorvane;

namespace {

TEST(RequestUrl, TargetIsThePathAndQueryAsWritten) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://h/", "/"},
      {"http://h", "/"},
      {"http://h:8080", "/"},
      {"http://h?q=1", "/?q=1"},
      {"http://h/a/../b?q=%22x+y%22&z", "/a/../b?q=%22x+y%22&z"},
      {"http://h/p#frag", "/p"},
      {"http://h/p?q=1#frag?x/y", "/p?q=1"},
      {"http://h#/x", "/"},
      {"http://h/caf\xE9", "/caf\xE9"},
  };
  for (const auto& [url, target] : cases) EXPECT_EQ(RequestTarget(url), target) << url;
  EXPECT_EQ(WithoutFragment("http://h/p?q#f#g"), "http://h/p?q");
}

TEST(RequestUrl, EveryByteOutsidePrintableAsciiIsEncoded) {
  std::string every;
  for (int byte = 0; byte < 256; ++byte) every.push_back(static_cast<char>(byte));
  const std::string encoded = EncodeUnsendableBytes(every);
  std::string expected;
  for (int byte = 0; byte < 256; ++byte) {
    if (byte <= 0x20 || byte >= 0x7F) {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      expected += escape;
    } else {
      expected.push_back(static_cast<char>(byte));
    }
  }
  EXPECT_EQ(encoded, expected);
  EXPECT_EQ(EncodeUnsendableBytes(encoded), encoded) << "a second pass changes nothing";
  EXPECT_EQ(EncodeUnsendableBytes("http://h/a?q=%22x+y%22#f"), "http://h/a?q=%22x+y%22#f");
  // Keywords in UTF-8 and in the 8-bit code page, byte for byte.
  const std::pair<std::string, std::string> keywords[] = {
      {"caf\xC3\xA9+cr\xC3\xA8me", "caf%C3%A9+cr%C3%A8me"},
      {"\xE6\x9D\xB1\xE4\xBA\xAC", "%E6%9D%B1%E4%BA%AC"},
      {"golf\xF0\x9F\x8F\x8C", "golf%F0%9F%8F%8C"},
      {"caf\xE9", "caf%E9"},
  };
  for (const auto& [raw, sent] : keywords) EXPECT_EQ(EncodeUnsendableBytes(raw), sent) << sent;
}

TEST(RequestUrl, ReservedInvalidNames) {
  for (const char* host : {"invalid", "INVALID", "x.invalid", "a.b.Invalid", "x.invalid."})
    EXPECT_TRUE(IsReservedInvalidHost(host)) << host;
  for (const char* host : {"", "127.0.0.1", "invalid.com", "xinvalid", "invalidx", "example.com"})
    EXPECT_FALSE(IsReservedInvalidHost(host)) << host;
}

TEST(RequestUrl, LoopbackNames) {
  for (const char* host : {"127.0.0.1", "localhost", "LocalHost", "[::1]"})
    EXPECT_TRUE(IsLoopbackHost(host)) << host;
  for (const char* host : {"", "127.0.0.2x", "localhost.example", "example.com", "10.0.0.1"})
    EXPECT_FALSE(IsLoopbackHost(host)) << host;
}

}  // namespace
