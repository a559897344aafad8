#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/SettingsLines.h"

using namespace quorvane;

using namespace std::string_literals;

namespace {

struct LinesCase {
  std::string raw;
  std::vector<std::string> lines;
  std::string joined;
};

TEST(SettingsLines, EveryKindOfLineBreakBecomesCrLf) {
  const std::vector<LinesCase> cases = {
      {"", {}, ""},
      {"a", {"a"}, "a\r\n"},
      {"a\r\n", {"a"}, "a\r\n"},
      {"a\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}, "a\r\nb\r\nc\r\nd\r\n"},
      // LF then CR is two line breaks, not one.
      {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"\r\n\r\n", {"", ""}, "\r\n\r\n"},
      {"x\0y\xE9\n"s, {"x\0y\xE9"s}, "x\0y\xE9\r\n"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitLines(c.raw), c.lines) << testing::PrintToString(c.raw);
    EXPECT_EQ(JoinLines(SplitLines(c.raw)), c.joined) << testing::PrintToString(c.raw);
  }
}

}  // namespace
