#include <gtest/gtest.h>

#include <string>

#include "keywords/SuggestionParser.h"
#include "support/MemoryResultsTable.h"

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

using Rows = std::vector<std::pair<std::string, std::string>>;  // keyword, searches

Rows Parsed(const MemoryResultsTable& table, int from = 0) {
  Rows rows;
  for (int i = from; i < table.RowCount(); ++i)
    rows.emplace_back(table.Cell(i, kColKeywords), table.Cell(i, kColSearches));
  return rows;
}

TEST(ParseSuggestions, OneRowPerSuggestionNumberedAndCounted) {
  MemoryResultsTable table;
  ParseSuggestions(kHead + Row("1,234", "golf clubs") + Row("<b>987</b>", "golf &amp; clubs") +
                       Row(" 12 ", "it&#039;s golf") + kTail,
                   table);

  ASSERT_EQ(table.RowCount(), 3);
  EXPECT_EQ(Parsed(table),
            (Rows{{"golf clubs", "1,234"}, {"golf & clubs", "987"}, {"it's golf", "12"}}));
  EXPECT_EQ(table.Cell(0, kColNo), "1");
  EXPECT_EQ(table.Cell(2, kColNo), "3");
  for (int col : {kColGoogle, kColYahoo, kColMsn}) EXPECT_EQ(table.Cell(1, col), "");
  EXPECT_EQ(table.ItemCountRefreshes(), 3);
  EXPECT_EQ(table.ItemCountText(), "3 items listed");
}

TEST(ParseSuggestions, AppendsAfterExistingRowsAndKeepsDuplicates) {
  MemoryResultsTable table;
  for (const char* k : {"a", "b", "golf clubs"}) {
    table.AddResultRow(std::to_string(table.RowCount() + 1), k, "");
  }
  ParseSuggestions(kHead + Row("5", "golf clubs") + Row("4", "golf balls") + kTail, table);

  ASSERT_EQ(table.RowCount(), 5);
  EXPECT_EQ(table.Cell(3, kColNo), "4");
  EXPECT_EQ(table.Cell(4, kColNo), "5");
  EXPECT_EQ(table.Cell(3, kColKeywords), "golf clubs");
  EXPECT_EQ(table.ItemCountText(), "5 items listed");
}

TEST(ParseSuggestions, PagesWithoutAnExactFooterAddNothing) {
  const std::string pages[] = {
      "",
      "<html>no table here</html>",
      // The presence test is case-sensitive although the walk is not.
      "<table><TFOOT></TFOOT>" + Row("1", "golf") + kTail,
  };
  for (const auto& page : pages) {
    MemoryResultsTable table;
    ParseSuggestions(page, table);
    EXPECT_EQ(table.RowCount(), 0) << page;
    EXPECT_EQ(table.ItemCountRefreshes(), 0) << page;
  }
}

TEST(ParseSuggestions, FirstEmptyCountCellEndsTheList) {
  MemoryResultsTable table;
  ParseSuggestions(
      kHead + Row("3", "one") + Row("&nbsp;", "blank count") + Row("7", "later") + kTail, table);
  EXPECT_EQ(Parsed(table), (Rows{{"one", "3"}}));
}

TEST(ParseSuggestions, WalkIsCaseInsensitiveAfterTheFooter) {
  MemoryResultsTable table;
  ParseSuggestions(
      "<TABLE><TFOOT>x</TFOOT><tfoot></tfoot><TBODY><TR><TD>42</TD><TD><A HREF=\"/x\">Golf"
      "</A></TD></TR><Tr><tD>8</Td><td><a href=\"/y\">tee</a></td></tr></TBODY>",
      table);
  EXPECT_EQ(Parsed(table), (Rows{{"Golf", "42"}, {"tee", "8"}}));
}

TEST(ParseSuggestions, RowsBeforeTheFooterAreSkipped) {
  MemoryResultsTable table;
  ParseSuggestions(Row("99", "header row") + kHead + Row("1", "body row") + kTail, table);
  EXPECT_EQ(Parsed(table), (Rows{{"body row", "1"}}));
}

TEST(ParseSuggestions, ACountWithoutALinkStillMakesARow) {
  MemoryResultsTable table;
  ParseSuggestions(kHead + Row("2", "linked") + "<tr><td>6</td><td>plain text</td></tr>" + kTail,
                   table);
  EXPECT_EQ(Parsed(table), (Rows{{"linked", "2"}, {"", "6"}}));
}

TEST(ParseSuggestions, EndsWhenTheLastCountCellIsNotClosed) {
  MemoryResultsTable table;
  ParseSuggestions(kHead + Row("2", "a") + "<tr><td>5", table);
  EXPECT_EQ(Parsed(table), (Rows{{"a", "2"}}));
}

TEST(IsSecurityImagePage, ExactMarkerAnywhere) {
  EXPECT_TRUE(IsSecurityImagePage("<p>Please enter the characters in the image</p>"));
  EXPECT_TRUE(IsSecurityImagePage("xPlease enter the characters in the imagex"));
  EXPECT_FALSE(IsSecurityImagePage("<p>please enter the characters in the image</p>"));
  EXPECT_FALSE(IsSecurityImagePage("Please enter the characters in the"));
  EXPECT_FALSE(IsSecurityImagePage(""));
}

}  // namespace
