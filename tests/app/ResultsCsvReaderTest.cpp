// Reading a results table back: good texts in the forms a user brings
// (our own export, other programs' CSV, lists of phrases), bad texts named
// by their first bad line, and the round trip through Save Results' form.
#include "app/ResultsCsvReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/ResultStore.h"
#include "app/ResultsCsv.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using Cells = std::vector<std::string>;  // Keywords, Searches, Google, Yahoo, Msn

std::vector<Cells> Rows(const ResultsText& text) {
  std::vector<Cells> rows;
  for (const ResultRow& row : text.rows)
    rows.push_back({row.cells[1], row.cells[2], row.cells[3], row.cells[4], row.cells[5]});
  return rows;
}

struct GoodCase {
  const char* name;
  std::string bytes;
  bool table;
  std::vector<Cells> rows;
};

void PrintTo(const GoodCase& c, std::ostream* os) {
  *os << c.name;
}

class GoodTextTest : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodTextTest, GivesItsRows) {
  const ResultsText text = ParseResultsText(GetParam().bytes);
  ASSERT_TRUE(text.ok()) << "line " << text.badLine << " " << text.problem;
  EXPECT_EQ(text.table, GetParam().table);
  EXPECT_EQ(Rows(text), GetParam().rows);
}

const std::string kHeader = "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Forms, GoodTextTest,
    ::testing::Values(
        GoodCase{"SavedForm",
                 kHeader + "\"1\",\"golf\",\"120\",\"1,230\",\"\",\"7\"\r\n"
                           "\"2\",\"say \"\"hi\"\"\",\"\",\"\",\"\",\"\"\r\n",
                 true,
                 {{"golf", "120", "1,230", "", "7"}, {"say \"hi\"", "", "", "", ""}}},
        GoodCase{"LfNoLastBreakUnquotedOtherCase",
                 "no,KEYWORDS,searches,google,yahoo,msn\n3,golf,5,6,7,8",
                 true,
                 {{"golf", "5", "6", "7", "8"}}},
        GoodCase{"ColumnsInAnotherOrderMappedByName",
                 "Keywords,Msn,No,Google,Searches,Yahoo\r\ngolf,8,1,6,5,7\r\n",
                 true,
                 {{"golf", "5", "6", "7", "8"}}},
        GoodCase{"ByteOrderMarkAndLineBreakInsideQuotes",
                 "\xEF\xBB\xBFNo,Keywords,Searches,Google,Yahoo,Msn\r\n1,\"two\r\nlines\",,,,\r\n",
                 true,
                 {{"two\r\nlines", "", "", "", ""}}},
        GoodCase{"EmptyLastFieldAndBlankLinesSkipped",
                 "No,Keywords,Searches,Google,Yahoo,Msn\n\n1,golf,,,,\n\r\n",
                 true,
                 {{"golf", "", "", "", ""}}},
        GoodCase{"HeaderOnly", kHeader, true, {}}, GoodCase{"Empty", "", false, {}},
        GoodCase{"ListOfPhrases",
                 "golf clubs\r\n\r\n\"golf, balls\"\n5\" putter\rtees",
                 false,
                 {{"golf clubs", "", "", "", ""},
                  {"golf, balls", "", "", "", ""},
                  {"5\" putter", "", "", "", ""},
                  {"tees", "", "", "", ""}}},
        GoodCase{"EightBitBytesKept",
                 "caf\xe9\n\xff\xfe",
                 false,
                 {{"caf\xe9", "", "", "", ""}, {"\xff\xfe", "", "", "", ""}}}));

struct BadCase {
  const char* name;
  std::string bytes;
  int line;
  std::string problem;
};

void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.name;
}

class BadTextTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadTextTest, NamesTheFirstBadLineAndGivesNoRows) {
  const ResultsText text = ParseResultsText(GetParam().bytes);
  EXPECT_FALSE(text.ok());
  EXPECT_EQ(text.badLine, GetParam().line);
  EXPECT_EQ(text.problem, GetParam().problem);
  EXPECT_TRUE(text.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadTextTest,
    ::testing::Values(
        BadCase{"RaggedRow", kHeader + "1,a,,,,\r\n2,b,,,\r\n3,c,,,,,\r\n", 3,
                "has 5 fields, the header has 6"},
        BadCase{"RaggedRowAfterQuotedBreak", kHeader + "1,\"a\nb\",,,,\n2,b\n", 4,
                "has 2 fields, the header has 6"},
        BadCase{"UnclosedQuote", kHeader + "1,a,,,,\n2,\"b,,,,\n3,c,,,,\n", 3,
                "opens a quote that is never closed"},
        BadCase{"TextAfterClosingQuote", kHeader + "1,\"a\"b,,,,\n", 2,
                "has text after the closing quote of a field"},
        BadCase{"NulByte", std::string("golf\nte\0es\n", 11), 2,
                "holds a NUL byte: this is no text file"},
        BadCase{"BinaryJunkAtTheStart", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), 3,
                "holds a NUL byte: this is no text file"},
        BadCase{"ListWithTwoFields", "golf\ntees,balls\n", 2,
                "has 2 fields, a list of phrases has 1"},
        BadCase{"FirstLineNeitherHeaderNorPhrase", "a,b,c\n", 1,
                "has 3 fields but is not the header No, Keywords, Searches, Google, Yahoo, Msn"},
        BadCase{"HeaderWithAColumnTwice", "No,Keywords,Searches,Google,Yahoo,No\n1,a,,,,\n", 1,
                "has 6 fields but is not the header No, Keywords, Searches, Google, Yahoo, Msn"}));

TEST(ResultsCsvReaderTest, ReadsBackWhatSaveResultsWrites) {
  ResultStore store;
  store.Add(ResultRow{{"1", "say \"hi\", now", "1,000", "2", "", "x\r\ny"}, true});
  store.Add(ResultRow{{"2", "caf\xe9", "", "", "", ""}, false});
  const ResultsText text = ParseResultsText(BuildResultsCsv(store));
  ASSERT_TRUE(text.ok());
  ASSERT_EQ(text.rows.size(), 2u);
  for (int i = 0; i < 2; ++i)
    for (int c = kColKeywords; c < kColumnCount; ++c)
      EXPECT_EQ(text.rows[static_cast<std::size_t>(i)].cells[static_cast<std::size_t>(c)],
                store.Cell(i, c));
}

TEST(ResultsCsvReaderTest, TabSeparatedTableFromTheCopyForm) {
  ResultStore store;
  store.Add(ResultRow{{"4", "a\tb", "1,000", "", "", ""}, false});
  const std::string tabs = BuildResultsTabText(store, {0});
  EXPECT_TRUE(StartsWithResultsHeader(tabs, '\t'));
  EXPECT_FALSE(StartsWithResultsHeader(tabs, ','));
  const ResultsText text = ParseResultsText(tabs, '\t');
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(Rows(text), (std::vector<Cells>{{"a\tb", "1,000", "", "", ""}}));
}

TEST(ResultsCsvReaderTest, FilesThatAreNoTablesGiveOneMessageNamingThem) {
  TempFolder folder;
  folder.Write("ragged.csv", kHeader + "1,a,,,\n");
  const std::string ragged = folder.File("ragged.csv").string();
  EXPECT_EQ(
      ResultsFileMessage(ragged, ReadResultsFile(ragged)),
      "The file \"" + ragged + "\" is not a results table: line 2 has 5 fields, the header has 6.");

  const std::string dir = folder.Path().string();
  const ResultsFile folderRead = ReadResultsFile(dir);
  EXPECT_FALSE(folderRead.readable);
  EXPECT_EQ(ResultsFileMessage(dir, folderRead),
            "The file \"" + dir + "\" cannot be opened: it is not a regular file.");

  const std::string pipe = folder.File("pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(ReadResultsFile(pipe).readable) << "a pipe is refused without blocking";

  const std::string gone = folder.File("gone.csv").string();
  EXPECT_EQ(ResultsFileMessage(gone, ReadResultsFile(gone)),
            "The file \"" + gone + "\" cannot be opened: No such file or directory.");
}

}  // namespace
