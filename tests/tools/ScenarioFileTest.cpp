#include "sim/ScenarioFile.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace {

Scenario ParseText(const std::string& text, const std::filesystem::path& folder = ".") {
  return ScenarioFile::Parse(text, "test.scenario", folder);
}

TEST(ScenarioFileTest, ReadsEveryKey) {
  const Scenario s = ParseText(R"(# every key once
[suggest]
rows = 4
footer = UPPER
table = no
captcha = first  3
answer = Ab3d
status = 503
delay_ms = 10
drip_bytes = 20
drip_ms = 30

[google]
mode = fail
status = 502
[yahoo]
mode = no-markers
delay_ms = 5
[msn]
mode = no-narrowing

[search]
huge_term = golf clubs

[news]
publisher_id = pub 7
product_code = QV-7
product_type = BP
connection_fail = yes
list_reply = INVALIDUSER\r\n
lastcode_reply = 9^Nine\xAFOK
details_reply = "  spaced  "
status = 500
drip_bytes = 1

[update]
version = 3.00
missing = true
raw = [APPLICATION]\nVersion=4\n
delay_ms = 7
)");
  EXPECT_EQ(s.suggest.rows, 4);
  EXPECT_TRUE(s.suggest.upperCaseFooter);
  EXPECT_TRUE(s.suggest.noTable);
  EXPECT_EQ(s.suggest.securityImage, SecurityImageMode::kFirst);
  EXPECT_EQ(s.suggest.securityImageCount, 3);
  EXPECT_EQ(s.suggest.securityImageAnswer, "Ab3d");
  EXPECT_EQ(s.suggest.status, 503);
  EXPECT_EQ(s.suggest.pace.delayMs, 10);
  EXPECT_EQ(s.suggest.pace.dripBytes, 20);
  EXPECT_EQ(s.suggest.pace.dripMs, 30);
  EXPECT_EQ(s.search.google.mode, EngineMode::kFail);
  EXPECT_EQ(s.search.google.status, 502);
  EXPECT_EQ(s.search.yahoo.mode, EngineMode::kNoMarkers);
  EXPECT_EQ(s.search.yahoo.pace.delayMs, 5);
  EXPECT_EQ(s.search.msn.mode, EngineMode::kNoNarrowing);
  EXPECT_EQ(s.search.hugeTerm, "golf clubs");
  EXPECT_EQ(s.news.publisherId, "pub 7");
  EXPECT_EQ(s.news.productCode, "QV-7");
  EXPECT_EQ(s.news.productType, "BP");
  EXPECT_TRUE(s.news.connectionFail);
  EXPECT_EQ(s.news.listReply, "INVALIDUSER\r\n");
  EXPECT_EQ(s.news.lastcodeReply, "9^Nine\xAFOK");
  EXPECT_EQ(s.news.detailsReply, "  spaced  ");
  EXPECT_EQ(s.news.status, 500);
  EXPECT_EQ(s.news.pace.dripBytes, 1);
  EXPECT_EQ(s.news.items.size(), NewsScenario::DefaultItems().size());
  EXPECT_EQ(s.update.version, "3.00");
  EXPECT_TRUE(s.update.missing);
  EXPECT_EQ(s.update.raw, "[APPLICATION]\nVersion=4\n");
  EXPECT_EQ(s.update.pace.delayMs, 7);
}

TEST(ScenarioFileTest, EmptyTextIsTheDefaultScenario) {
  const Scenario s = ParseText("; nothing but a comment\r\n\r\n");
  const Scenario d;
  EXPECT_EQ(s.suggest.rows, d.suggest.rows);
  EXPECT_EQ(s.suggest.securityImage, SecurityImageMode::kOff);
  EXPECT_EQ(s.search.google.mode, EngineMode::kNormal);
  EXPECT_EQ(s.news.items.size(), 3u);
  EXPECT_FALSE(s.news.listReply.has_value());
  EXPECT_EQ(s.update.version, "2.0");
}

TEST(ScenarioFileTest, ItemsReplaceTheSamples) {
  TempFolder folder;
  folder.Write("body.html", "<p>from a file \xE9</p>\n");
  const Scenario s = ParseText(R"([item]
id = 20
title = Second
published = 2024-06-02
body_file = body.html

[item]
id = 3
title = "  First  "
body = <p>a\tb</p>
)",
                               folder.Path());
  ASSERT_EQ(s.news.items.size(), 2u);
  EXPECT_EQ(s.news.items[0].id, 20);
  EXPECT_EQ(s.news.items[0].title, "Second");
  EXPECT_EQ(s.news.items[0].published, "2024-06-02");
  EXPECT_EQ(s.news.items[0].body, "<p>from a file \xE9</p>\n");
  EXPECT_EQ(s.news.items[1].id, 3);
  EXPECT_EQ(s.news.items[1].title, "  First  ");
  EXPECT_EQ(s.news.items[1].body, "<p>a\tb</p>");

  EXPECT_TRUE(ParseText("[news]\nitems = none\n").news.items.empty());
  EXPECT_EQ(ParseText("[news]\nitems = default\n").news.items.size(), 3u);
}

TEST(ScenarioFileTest, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"[suggest]\nrowz = 3\n", "test.scenario:2: unknown key \"rowz\" in [suggest]"},
      {"\n[weather]\n", "test.scenario:2: unknown section [weather]"},
      {"[suggest\n", "test.scenario:1: a section header must end with ]"},
      {"rows = 3\n", "test.scenario:1: \"rows\" stands before any [section]"},
      {"[suggest]\nrows\n", "test.scenario:2: expected key = value, got \"rows\""},
      {"[suggest]\n= 3\n", "test.scenario:2: a key is missing before ="},
      {"[suggest]\nrows = many\n", "test.scenario:2: rows must be a number from 0 to 1000"},
      {"[suggest]\nrows = 1001\n", "test.scenario:2: rows must be a number from 0 to 1000"},
      {"[suggest]\nrows = -1\n", "rows must be a number"},
      {"[suggest]\ncaptcha = sometimes\n", "captcha must be off, first N, always or until-solved"},
      {"[suggest]\ncaptcha = first 0\n", "captcha = first must be a number from 1"},
      {"[suggest]\nfooter = mixed\n", "footer must be lower or upper"},
      {"[suggest]\nanswer =\n", "answer may not be empty"},
      {"[suggest]\nstatus = 99\n", "status must be a number from 200 to 599"},
      {"[google]\nmode = broken\n", "mode must be normal, fail, no-markers or no-narrowing"},
      {"[news]\nconnection_fail = maybe\n", "connection_fail must be yes or no"},
      {"[news]\nproduct_type = BX\n", "product_type must be BM, BP, BG or empty"},
      {"[news]\nitems = some\n", "items must be default or none"},
      {"[news]\nlist_reply = a\\qb\n", "test.scenario:2: unknown escape \\q"},
      {"[news]\nlist_reply = \\xA\n", "\\x needs two hex digits"},
      {"[news]\nlist_reply = \\xZZ\n", "\\x needs two hex digits"},
      {"[news]\nlist_reply = end\\\n", "lone backslash"},
      {"[search]\nmode = fail\n", "unknown key \"mode\" in [search]"},
      {"\n[item]\ntitle = t\n", "test.scenario:2: [item] without an id"},
      {"[item]\nid = 4\n[item]\nid = 4\n", "test.scenario:3: a second [item] with id 4"},
      {"[item]\nid = 4\ntitle = a^b\n", "test.scenario:3: title may not contain ^"},
      {"[item]\nid = 4\npublished = \\xAF\n", "published may not contain ^ or the byte 0xAF"},
      {"[item]\nid = 0\n", "id must be a number from 1"},
      {"[item]\nid = 4\nbody_file = missing.html\n", "test.scenario:3: cannot read body_file"},
      {"[update]\nmissing = 2\n", "missing must be yes or no"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseText(c.text);
      ADD_FAILURE() << "no error";
    } catch (const ScenarioError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(ScenarioFileTest, LoadReadsFilesAndReportsMissingOnes) {
  TempFolder folder;
  folder.Write("a.scenario", "[update]\nversion = 2.5\n");
  EXPECT_EQ(ScenarioFile::Load(folder.File("a.scenario")).update.version, "2.5");
  try {
    ScenarioFile::Load(folder.File("none.scenario"));
    ADD_FAILURE() << "no error";
  } catch (const ScenarioError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot read scenario file"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("none.scenario"), std::string::npos);
  }
  folder.Write("b.scenario", "[suggest]\nrows = x\n");
  try {
    ScenarioFile::Load(folder.File("b.scenario"));
    ADD_FAILURE() << "no error";
  } catch (const ScenarioError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(folder.File("b.scenario").string() + ":2: ", 0), 0u)
        << e.what();
  }
}

TEST(ScenarioFileTest, ShippedDemoScenarioIsValid) {
  const Scenario s = ScenarioFile::Load(QUORVANE_SIM_DIR "/demo.scenario");
  EXPECT_FALSE(s.news.items.empty());
}

}  // namespace
