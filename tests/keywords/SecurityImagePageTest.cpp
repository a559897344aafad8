#include <gtest/gtest.h>

#include <string>

#include "keywords/SecurityImagePage.h"

using namespace quorvane;

namespace {

std::string Hidden(const std::string& name, const std::string& value) {
  return "<input type=\"hidden\" name=\"" + name + "\" value=\"" + value + "\">";
}

struct PageCase {
  const char* what;
  std::string page;
  SecurityImageValues expected;
};

TEST(ReadSecurityImagePage, FieldsAreCutInOrderWalkingForward) {
  const PageCase cases[] = {
      {"usual page",
       "<form>" + Hidden("random", "83412") + Hidden("seed", "golf+clubs") +
           "<img src=\"http://127.0.0.1:1/image?id=7&amp;size=2\"></form>",
       {"83412", "golf+clubs", "http://127.0.0.1:1/image?id=7&size=2"}},
      {"seed before random: seed not found after the random value",
       Hidden("seed", "s") + Hidden("random", "r") + "<img src=\"http://h/i\">",
       {"r", "", "http://h/i"}},
      {"upper-case tags and attributes",
       "<INPUT TYPE=\"hidden\" NAME=\"random\" VALUE=\"R1\"><INPUT TYPE=\"HIDDEN\" "
       "NAME=\"SEED\" VALUE=\"S1\"><IMG SRC=\"http://h/I\">",
       {"R1", "S1", "http://h/I"}},
      {"other attribute order or double blanks are not found",
       "<input name=\"random\" type=\"hidden\" value=\"r\"><input type=\"hidden\"  "
       "name=\"seed\" value=\"s\"><img src=\"http://h/i\">",
       {"", "", "http://h/i"}},
      {"a missing random field does not move the walk",
       "<img src=\"http://h/early\">" + Hidden("seed", "s") + "<img src=\"http://h/late\">",
       {"", "s", "http://h/late"}},
      {"missing hidden fields leave the walk at the start",
       "<img src=\"http://h/early\"><img src=\"http://h/late\">",
       {"", "", "http://h/early"}},
      {"the first src after the seed value, of whatever tag",
       "<img src=\"http://h/logo\">" + Hidden("random", "r") + Hidden("seed", "s") +
           "<script src=\"http://h/s.js\"></script><img src=\"http://h/i\">",
       {"r", "s", "http://h/s.js"}},
      {"nothing there", "<html>Please enter the characters in the image</html>", {"", "", ""}},
      {"value without closing quote",
       "<input type=\"hidden\" name=\"random\" value=\"abc",
       {"", "", ""}},
      {"entities other than &amp; stay, and only once",
       Hidden("random", "a&amp;b") + Hidden("seed", "") + "<img src=\"x?a=1&amp;amp;b=&lt;\">",
       {"a&amp;b", "", "x?a=1&amp;b=&lt;"}},
  };
  for (const auto& c : cases) {
    const SecurityImageValues v = ReadSecurityImagePage(c.page);
    EXPECT_EQ(v.RandomValue, c.expected.RandomValue) << c.what;
    EXPECT_EQ(v.SeedValue, c.expected.SeedValue) << c.what;
    EXPECT_EQ(v.ImageSrc, c.expected.ImageSrc) << c.what;
  }
}

TEST(DecodeAmpersandsOnce, OnePassLeftToRightCaseSensitive) {
  EXPECT_EQ(DecodeAmpersandsOnce("a&amp;b&amp;c"), "a&b&c");
  EXPECT_EQ(DecodeAmpersandsOnce("&amp;amp;"), "&amp;");
  EXPECT_EQ(DecodeAmpersandsOnce("&amp;amp;amp;"), "&amp;amp;");
  EXPECT_EQ(DecodeAmpersandsOnce("&AMP;&amp"), "&AMP;&amp");
  EXPECT_EQ(DecodeAmpersandsOnce(""), "");
  EXPECT_EQ(DecodeAmpersandsOnce(std::string("\0&amp;\0", 7)), std::string("\0&\0", 3));
}

}  // namespace
