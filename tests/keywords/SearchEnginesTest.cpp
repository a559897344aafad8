#include <gtest/gtest.h>

#include <string>

#include "keywords/SearchEngines.h"

using namespace quorvane;

namespace {

struct CountCase {
  const char* what;
  SearchEngine engine;
  std::string page;
  std::string expected;
};

TEST(CutResultCount, MarkersPerEngine) {
  const CountCase cases[] = {
      {"google usual", SearchEngine::Google,
       "<font size=-1>Results <b>1</b> - <b>10</b> of about <b>1,230,000</b> for <b>golf</b>",
       "1,230,000"},
      {"google look-alike before the narrowing marker", SearchEngine::Google,
       "of about <b>5</b> ads<font size=-1>Results <b>1</b> of about <b>77</b>.", "77"},
      {"google narrowing marker but no start after it: nothing", SearchEngine::Google,
       "of about <b>5</b><font size=-1>Results none", ""},
      {"google without narrowing marker: first start anywhere", SearchEngine::Google,
       "x of about <b>12</b> y", "12"},
      {"google case-insensitive markers", SearchEngine::Google,
       "<FONT SIZE=-1>results OF ABOUT <B>3,1</B>", "3,1"},
      {"google start without end", SearchEngine::Google, "of about <b>12", ""},
      {"google markup between markers stays", SearchEngine::Google, "of about <b><i>9</i></b>",
       "<i>9</i>"},
      {"yahoo usual", SearchEngine::Yahoo,
       "<p>list of pages for you</p><span class=\"infotext\">1 - 10 of 2,500 for golf</span>",
       "2,500"},
      {"yahoo without infotext: first of anywhere", SearchEngine::Yahoo,
       "<p>1 - 10 of 44 for golf</p>", "44"},
      {"yahoo no markers", SearchEngine::Yahoo, "<p>nothing</p>", ""},
      {"msn usual", SearchEngine::Msn, "of x</span><span id=\"count\">1-10 of 2,340 results</span>",
       "2,340"},
      {"msn capital Results stays", SearchEngine::Msn,
       "<span id=\"count\">1-10 of 2,340 Results</span>", "2,340 Results"},
      {"msn word removed everywhere, blanks trimmed", SearchEngine::Msn,
       "<span id=\"count\">1-10 of \t results 12 results\r\n</span>", "12"},
      {"msn empty", SearchEngine::Msn, "<span id=\"count\"></span>", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CutResultCount(c.engine, c.page), c.expected) << c.what;
  }
}

}  // namespace
