#include "web/RequestUrl.h"

#include <gtest/gtest.h>

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
