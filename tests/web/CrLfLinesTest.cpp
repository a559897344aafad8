#include "web/CrLfLines.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

struct Case {
  std::string body;
  std::string text;
};

TEST(CrLfLines, EveryBreakBecomesCrLfAndNulEndsTheText) {
  const Case cases[] = {
      {"", ""},
      {"a", "a\r\n"},
      {"a\nb", "a\r\nb\r\n"},
      {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
      {"a\rb", "a\r\nb\r\n"},
      {"a\r\r\nb", "a\r\n\r\nb\r\n"},  // CR, then CR LF: two breaks
      {"a\n\rb", "a\r\n\r\nb\r\n"},    // LF CR is two breaks, not one
      {"a\n", "a\r\n"},                // a break at the end adds no line
      {"\n", "\r\n"},
      {"\r\n\r\n", "\r\n\r\n"},
      {std::string("ab\0cd", 5), "ab\r\n"},
      {std::string("ab\r\n\0cd", 7), "ab\r\n"},
      {std::string("\0ab", 3), ""},
      {"\xE9\xAF\x01", "\xE9\xAF\x01\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(CrLfLines(c.body), c.text) << "body: " << c.body;
}

}  // namespace
