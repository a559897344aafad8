#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keywords/SuggestionParser.h"

using namespace quorvane;

namespace {

const std::string kHead =
    "<html><body><table class=\"suggestions\">\r\n<thead><tr><th>Searches</th><th>Keyword</th>"
    "</tr></thead>\r\n<tfoot><tr><td>Total</td><td>all</td></tr></tfoot>\r\n<tbody>\r\n";
const std::string kTail = "</tbody></table></body></html>\r\n";

std::string Row(const std::string& count, const std::string& phrase) {
  return "<tr><td>" + count + "</td><td><a href=\"/?seed=" + phrase + "\">" + phrase +
         "</a></td></tr>\r\n";
}

using Rows = std::vector<NewKeyword>;

TEST(ParseSuggestions, OneRowPerSuggestionWithItsCount) {
  EXPECT_EQ(
      ParseSuggestions(kHead + Row("1,234", "golf clubs") + Row("<b>987</b>", "golf &amp; clubs") +
                       Row(" 12 ", "it&#039;s golf") + kTail),
      (Rows{{"golf clubs", "1,234"}, {"golf & clubs", "987"}, {"it's golf", "12"}}));
}

TEST(ParseSuggestions, KeepsDuplicatesInPageOrder) {
  EXPECT_EQ(ParseSuggestions(kHead + Row("5", "golf clubs") + Row("4", "golf balls") +
                             Row("5", "golf clubs") + kTail),
            (Rows{{"golf clubs", "5"}, {"golf balls", "4"}, {"golf clubs", "5"}}));
}

TEST(ParseSuggestions, PagesWithoutAnExactFooterHaveNone) {
  const std::string pages[] = {
      "",
      "<html>no table here</html>",
      // The presence test is case-sensitive although the walk is not.
      "<table><TFOOT></TFOOT>" + Row("1", "golf") + kTail,
  };
  for (const auto& page : pages) EXPECT_EQ(ParseSuggestions(page), Rows{}) << page;
}

TEST(ParseSuggestions, FirstEmptyCountCellEndsTheList) {
  EXPECT_EQ(ParseSuggestions(kHead + Row("3", "one") + Row("&nbsp;", "blank count") +
                             Row("7", "later") + kTail),
            (Rows{{"one", "3"}}));
}

TEST(ParseSuggestions, WalkIsCaseInsensitiveAfterTheFooter) {
  EXPECT_EQ(
      ParseSuggestions(
          "<TABLE><TFOOT>x</TFOOT><tfoot></tfoot><TBODY><TR><TD>42</TD><TD><A HREF=\"/x\">Golf"
          "</A></TD></TR><Tr><tD>8</Td><td><a href=\"/y\">tee</a></td></tr></TBODY>"),
      (Rows{{"Golf", "42"}, {"tee", "8"}}));
}

TEST(ParseSuggestions, RowsBeforeTheFooterAreSkipped) {
  EXPECT_EQ(ParseSuggestions(Row("99", "header row") + kHead + Row("1", "body row") + kTail),
            (Rows{{"body row", "1"}}));
}

TEST(ParseSuggestions, ACountWithoutALinkStillMakesARow) {
  EXPECT_EQ(ParseSuggestions(kHead + Row("2", "linked") + "<tr><td>6</td><td>plain text</td></tr>" +
                             kTail),
            (Rows{{"linked", "2"}, {"", "6"}}));
}

TEST(ParseSuggestions, EndsWhenTheLastCountCellIsNotClosed) {
  EXPECT_EQ(ParseSuggestions(kHead + Row("2", "a") + "<tr><td>5"), (Rows{{"a", "2"}}));
}

TEST(IsSecurityImagePage, ExactMarkerAnywhere) {
  EXPECT_TRUE(IsSecurityImagePage("<p>Please enter the characters in the image</p>"));
  EXPECT_TRUE(IsSecurityImagePage("xPlease enter the characters in the imagex"));
  EXPECT_FALSE(IsSecurityImagePage("<p>please enter the characters in the image</p>"));
  EXPECT_FALSE(IsSecurityImagePage("Please enter the characters in the"));
  EXPECT_FALSE(IsSecurityImagePage(""));
}

}  // namespace
