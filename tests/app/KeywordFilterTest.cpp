#include "app/KeywordFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/GroupThousands.h"

using namespace quorvane;

namespace {

using Words = std::vector<std::string>;

struct ParseCase {
  const char* text;
  Words required;
  Words excluded;
};

TEST(KeywordFilterTest, SplitsWordsAndNegativeKeywords) {
  const ParseCase cases[] = {
      {"", {}, {}},
      {"   \t ", {}, {}},
      {"shoes", {"shoes"}, {}},
      {"  Red   SHOES\t", {"red", "shoes"}, {}},
      {"shoes -cheap", {"shoes"}, {"cheap"}},
      {"-Cheap -free", {}, {"cheap", "free"}},
      {"- shoes", {"shoes"}, {}},                           // a lone dash is no word
      {"--x", {}, {"-x"}},                                  // only the first dash negates
      {"a-b", {"a-b"}, {}},                                 // a dash inside a word is part of it
      {"caf\xe9 \xc9T\xc9", {"caf\xe9", "\xc9t\xc9"}, {}},  // code-page bytes are not folded
  };
  for (const auto& c : cases) {
    const KeywordFilter filter(c.text);
    EXPECT_EQ(filter.Required(), c.required) << '"' << c.text << '"';
    EXPECT_EQ(filter.Excluded(), c.excluded) << '"' << c.text << '"';
    EXPECT_EQ(filter.Empty(), c.required.empty() && c.excluded.empty()) << '"' << c.text << '"';
  }
}

struct MatchCase {
  const char* filter;
  const char* phrase;
  bool shown;
};

TEST(KeywordFilterTest, ShowsPhrasesWithEveryWordAndWithoutAnyNegativeOne) {
  const MatchCase cases[] = {
      {"", "anything", true},
      {"", "", true},
      {"shoe", "Red Shoes", true},  // substring, ASCII case folded
      {"SHOES", "red shoes", true},
      {"red shoes", "shoes red", true},   // order does not matter
      {"red shoes", "red boots", false},  // every word is needed
      {"-cheap", "cheap shoes", false},
      {"-cheap", "Shoes CHEAP", false},
      {"-cheap", "red shoes", true},
      {"shoes -cheap", "cheap shoes", false},  // a negative word wins
      {"shoes -cheap", "shoes", true},
      {"shoes", "", false},
      {"-x", "", true},
      {"caf\xe9", "CAF\xe9 au lait", true},
      {"caf\xe9", "caf\xc9", false},  // 0xC9 and 0xE9 are not folded
      {"a.b", "axb", false},          // no pattern characters
  };
  for (const auto& c : cases)
    EXPECT_EQ(KeywordFilter(c.filter).Matches(c.phrase), c.shown)
        << '"' << c.filter << "\" on \"" << c.phrase << '"';
}

TEST(KeywordFilterTest, CountsAreGroupedInThousands) {
  EXPECT_EQ(ShownRowsText(12, 1000), "12 of 1,000 rows shown");
  EXPECT_EQ(ShownRowsText(0, 999), "0 of 999 rows shown");
  EXPECT_EQ(ShownRowsText(100000, 1234567), "100,000 of 1,234,567 rows shown");
  EXPECT_EQ(GroupThousands(0), "0");
  EXPECT_EQ(GroupThousands(1000000), "1,000,000");
  EXPECT_EQ(GroupThousands(-12345), "-12,345");
}

}  // namespace
