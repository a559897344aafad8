// Reading a results table back: good texts in the forms a user brings
// (our own export, other programs' CSV, lists of phrases), bad texts named
// by their first bad line, and the round trip through Save Results' form.
#include "app/ResultsCsvReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/ResultStore.h"
#include "app/ResultsCsv.h"
#include "app/ResultsFileReader.h"
#include "support/ResultsTextRows.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

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
        GoodCase{"SemicolonsFromTheHeader",
                 "\"No\";\"Keywords\";\"Searches\";\"Google\";\"Yahoo\";\"Msn\"\r\n"
                 "\"1\";\"golf, clubs\";\"1.200\";\"\";\"\";\"7\"\r\n",
                 true,
                 {{"golf, clubs", "1.200", "", "", "7"}}},
        GoodCase{"TabsFromTheHeader",
                 "No\tKeywords\tSearches\tGoogle\tYahoo\tMsn\n1\tgolf; clubs\t5\t6\t7\t8\n",
                 true,
                 {{"golf; clubs", "5", "6", "7", "8"}}},
        GoodCase{"AHeaderWithCommasInsideSemicolonFields",
                 "Keywords;No;Msn;Google;Searches;Yahoo\n\"a,b\";1;;;;\n",
                 true,
                 {{"a,b", "", "", "", ""}}},
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
        BadCase{"SemicolonsWithoutHeader", "golf;120;5\ntees;3;4\n", 1,
                "has 3 fields separated by semicolons but is not the header No, Keywords, "
                "Searches, Google, Yahoo, Msn"},
        BadCase{"TabsWithoutHeader", "golf\t120\n", 1,
                "has 2 fields separated by tabs but is not the header No, Keywords, Searches, "
                "Google, Yahoo, Msn"},
        BadCase{"ASemicolonTableWithARaggedRow", "No;Keywords;Searches;Google;Yahoo;Msn\n1;a;;;\n",
                2, "has 5 fields, the header has 6"},
        BadCase{"CellPastTheLimit", "golf\n" + std::string(32768, 'x') + "\n", 2,
                "holds a cell longer than 32,767 bytes, the most a cell may hold"},
        BadCase{"QuotedCellPastTheLimit", kHeader + "1,\"" + std::string(40000, 'x') + "\",,,,\n",
                2, "holds a cell longer than 32,767 bytes, the most a cell may hold"},
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

TEST(ResultsCsvReaderTest, TheSeparatorComesFromTheHeaderElseFromTheFirstLine) {
  const struct {
    std::string bytes;
    char separator;
    bool header;
  } cases[] = {
      {kHeader, ',', true},
      {"No;Keywords;Searches;Google;Yahoo;Msn\n", ';', true},
      {"\xEF\xBB\xBFno\tkeywords\tsearches\tgoogle\tyahoo\tmsn", '\t', true},
      // Not quite the header: split where it gives the most fields.
      {"\"No,\";Keywords;Searches;Google;Yahoo;Msn\n", ';', false},
      {"golf;clubs;7\n", ';', false},
      {"golf, clubs; 7\n", ',', false},  // a tie goes to the comma
      {"golf\tclubs\n", '\t', false},
      {"golf clubs\n", ',', false},
      {"", ',', false},
  };
  for (const auto& c : cases) {
    const SeparatorFound found = FindSeparator(c.bytes);
    EXPECT_EQ(found.separator, c.separator) << testing::PrintToString(c.bytes);
    EXPECT_EQ(found.header, c.header) << testing::PrintToString(c.bytes);
    EXPECT_EQ(StartsWithResultsHeader(c.bytes), c.header) << testing::PrintToString(c.bytes);
  }
}

TEST(ResultsCsvReaderTest, AGuardedCellAtTheLimitIsStillTaken) {
  const std::string cell = "=" + std::string(kMaxCellBytes - 1, 'x');
  ResultStore store;
  store.Add(ResultRow{{"1", cell, "", "", "", ""}, false});
  const ResultsText text = ParseResultsText(BuildResultsCsv(store));
  ASSERT_TRUE(text.ok()) << text.problem;
  EXPECT_EQ(text.rows.at(0).cells[kColKeywords], cell);
}

// What a user pastes or drops: tables by their header, else whole lines.
struct PastedCase {
  const char* name;
  std::string bytes;
  bool table;
  std::vector<Cells> rows;
  int linesBeforeNul = -1;
};

void PrintTo(const PastedCase& c, std::ostream* os) {
  *os << c.name;
}

class PastedTextTest : public ::testing::TestWithParam<PastedCase> {};

TEST_P(PastedTextTest, GivesItsRows) {
  const ResultsText text = ParseResultsOrLines(GetParam().bytes);
  ASSERT_TRUE(text.ok()) << "line " << text.badLine << " " << text.problem;
  EXPECT_EQ(text.table, GetParam().table);
  EXPECT_EQ(Rows(text), GetParam().rows);
  EXPECT_EQ(text.linesBeforeNul, GetParam().linesBeforeNul);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PastedTextTest,
    ::testing::Values(
        PastedCase{"CsvWithTheHeader",
                   kHeader + "\"1\",\"golf\",\"120\",\"\",\"\",\"'=1\"\r\n",
                   true,
                   {{"golf", "120", "", "", "=1"}}},
        PastedCase{"SemicolonsWithTheHeader",
                   "no;keywords;searches;google;yahoo;msn\n1;golf;5;;;\n",
                   true,
                   {{"golf", "5", "", "", ""}}},
        PastedCase{"LinesKeptWholeQuotesAndCommasIncluded",
                   "golf, soccer\r\n\r\n5\" putter\n\"quoted\"\n  tees ",
                   false,
                   {{"golf, soccer", "", "", "", ""},
                    {"5\" putter", "", "", "", ""},
                    {"\"quoted\"", "", "", "", ""},
                    {"  tees ", "", "", "", ""}}},
        PastedCase{"TextAfterANulIsLeftAndCounted",
                   std::string("golf\ntees\npar\0more\n", 19),
                   false,
                   {{"golf", "", "", "", ""}, {"tees", "", "", "", ""}, {"par", "", "", "", ""}},
                   3},
        PastedCase{"ANulRightAfterALineBreak",
                   std::string("golf\n\0tees", 10),
                   false,
                   {{"golf", "", "", "", ""}},
                   1},
        PastedCase{"ATableStopsAtANulToo",
                   kHeader + "1,golf,,,,\r\n" + std::string("\0", 1) + "2,tees,,,,\r\n",
                   true,
                   {{"golf", "", "", "", ""}},
                   2}));

TEST(ResultsCsvReaderTest, PastedLinesWithSemicolonsOrTabsAreRefusedNotTakenAsPhrases) {
  const struct {
    std::string bytes;
    int line;
    std::string problem;
  } cases[] = {
      {"\ngolf;120;5\ntees;3;4\n", 2,
       "has 3 fields separated by semicolons, and no header line names them No, Keywords, "
       "Searches, Google, Yahoo, Msn"},
      {"golf\t120\n", 1,
       "has 2 fields separated by tabs, and no header line names them No, Keywords, Searches, "
       "Google, Yahoo, Msn"},
  };
  for (const auto& c : cases) {
    const ResultsText text = ParseResultsOrLines(c.bytes);
    EXPECT_EQ(text.badLine, c.line) << c.bytes;
    EXPECT_EQ(text.problem, c.problem);
    EXPECT_TRUE(text.rows.empty());
  }
  // A semicolon inside quotes is part of one phrase.
  const ResultsText quoted = ParseResultsOrLines("\"golf; clubs\"\n");
  ASSERT_TRUE(quoted.ok());
  EXPECT_EQ(Rows(quoted), (std::vector<Cells>{{"\"golf; clubs\"", "", "", "", ""}}));
}

TEST(ResultsCsvReaderTest, ALongReadReportsProgressAndCanBeCancelled) {
  std::string bytes = kHeader;
  for (int i = 0; i < 100000; ++i) bytes += "1,golf,,,,\r\n";
  std::vector<double> seen;
  const ResultsText all = ParseResultsText(bytes, 0, [&](double done) {
    seen.push_back(done);
    return true;
  });
  ASSERT_TRUE(all.ok());
  EXPECT_EQ(all.rows.size(), 100000u);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GT(seen.front(), 0);
  EXPECT_LE(seen.back(), 1);

  int calls = 0;
  const ResultsText cancelled = ParseResultsText(bytes, 0, [&](double) { return ++calls < 2; });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.rows.empty());
  EXPECT_EQ(calls, 2);
}

TEST(ResultsTextBuilderTest, StopsAtItsRowLimitNamingIt) {
  ResultsTextBuilder::Form form;
  form.maxRows = 2;
  ResultsTextBuilder builder(form);
  for (const char* phrase : {"a", "b"}) {
    std::vector<std::string> fields{phrase};
    ASSERT_TRUE(builder.Add(fields, 1));
  }
  std::vector<std::string> third{"c"};
  EXPECT_FALSE(builder.Add(third, 3));
  const ResultsText text = builder.Finish();
  EXPECT_EQ(text.badLine, 3);
  EXPECT_EQ(text.problem, "goes past 2 rows, the most one file or paste adds");
  EXPECT_TRUE(text.rows.empty());
  EXPECT_EQ(ResultsTextBuilder::Form().maxRows, kMaxResultRows);
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
