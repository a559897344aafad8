#include "web/SetCookie2.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

constexpr std::int64_t kNow = 1'700'000'000;

struct Case {
  const char* header;
  const char* host;
  const char* path;
  std::vector<std::string> lines;
};

TEST(SetCookie2, BecomesNetscapeCookieLines) {
  const Case cases[] = {
      // Host-only, default path up to the last "/", a session cookie.
      {"a=1; Version=1",
       "www.example.com",
       "/dir/page.php",
       {"www.example.com\tFALSE\t/dir\tFALSE\t0\ta\t1"}},
      {"a=1", "Example.COM", "/page", {"example.com\tFALSE\t/\tFALSE\t0\ta\t1"}},
      // Two cookies in one header; a quoted value keeps its quotes and
      // its comma; quoted attributes lose theirs.
      {"a=\"x, y\"; Version=\"1\"; Path=\"/acme\", b=2; Version=1",
       "h.test",
       "/acme/x",
       {"h.test\tFALSE\t/acme\tFALSE\t0\ta\t\"x, y\"", "h.test\tFALSE\t/acme\tFALSE\t0\tb\t2"}},
      // Domain covering the host: sent to its subdomains as well.
      {"a=1; Domain=.example.com",
       "www.example.com",
       "/",
       {".example.com\tTRUE\t/\tFALSE\t0\ta\t1"}},
      {"a=1; Domain=example.com", "example.com", "/", {".example.com\tTRUE\t/\tFALSE\t0\ta\t1"}},
      // Domain that does not cover the host, or a suffix of an address.
      {"a=1; Domain=other.com", "www.example.com", "/", {}},
      {"a=1; Domain=ample.com", "www.example.com", "/", {}},
      {"a=1; Domain=0.0.1", "127.0.0.1", "/", {}},
      {"a=1; Domain=127.0.0.1", "127.0.0.1", "/", {"127.0.0.1\tFALSE\t/\tFALSE\t0\ta\t1"}},
      // Lifetime and security.
      {"a=1; Max-Age=60; Secure", "h.test", "/", {"h.test\tFALSE\t/\tTRUE\t1700000060\ta\t1"}},
      {"a=1; Max-Age=0", "h.test", "/", {"h.test\tFALSE\t/\tFALSE\t1\ta\t1"}},
      {"a=1; Max-Age=soon", "h.test", "/", {"h.test\tFALSE\t/\tFALSE\t0\ta\t1"}},
      // Ignored attributes, odd spacing, and what cannot be stored.
      {"  a = 1 ;Port=\"80,8080\"; Discard; Comment=\"x, y=z\"",
       "h.test",
       "/",
       {"h.test\tFALSE\t/\tFALSE\t0\ta\t1"}},
      {"$Version=1", "h.test", "/", {}},
      {"novalue", "h.test", "/", {}},
      {"=1", "h.test", "/", {}},
      {"a=x\ty", "h.test", "/", {}},
      {"", "h.test", "/", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SetCookie2Lines(c.header, c.host, c.path, kNow), c.lines) << c.header;
}

TEST(SetCookie2, MaxAgeCountsFromAnyClock) {
  // A clock set before 1970 still gives the cookie its lifetime; a Max-Age
  // beyond the range counts as the longest there is, and the expiry stops
  // at the latest time there is.
  struct Lifetime {
    std::int64_t now;
    const char* header;
    const char* expiry;
  };
  const Lifetime cases[] = {
      {-1000, "a=1; Max-Age=5000", "4000"},
      {-1000, "a=1; Max-Age=99999999999999999999", "9223372036854774807"},
      {kNow, "a=1; Max-Age=9223372036854775807", "9223372036854775807"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        SetCookie2Lines(c.header, "h.test", "/", c.now),
        std::vector<std::string>{"h.test\tFALSE\t/\tFALSE\t" + std::string(c.expiry) + "\ta\t1"})
        << c.header << " at " << c.now;
  }
}

}  // namespace
