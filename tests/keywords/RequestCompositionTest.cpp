#include <gtest/gtest.h>

#include <string>

#include "keywords/SearchEngines.h"
#include "keywords/SuggestionRequests.h"

using namespace quorvane;

namespace {

const std::string kBase = "http://127.0.0.1:8080";

struct SuggestionCase {
  std::string keyword;
  std::string expected;  // after the base
};

TEST(SuggestionRequests, KeywordGoesInWithOnlyBlanksChanged) {
  const SuggestionCase cases[] = {
      {"golf clubs", "/?seed=golf+clubs&adult_filter=remove_offensive&suggest=Hit+Me"},
      // Neither trimmed nor escaped: "&" starts a parameter of its own.
      {"  tom & jerry ", "/?seed=++tom+&+jerry+&adult_filter=remove_offensive&suggest=Hit+Me"},
      {"a,b+c#d%", "/?seed=a,b+c#d%&adult_filter=remove_offensive&suggest=Hit+Me"},
      // Bytes no request line can carry are the only ones encoded: blanks
      // inside, control bytes and every byte outside ASCII.
      {"caf\xC3\xA9 cr\xC3\xA8me",
       "/?seed=caf%C3%A9+cr%C3%A8me&adult_filter=remove_offensive&suggest=Hit+Me"},
      {"d\xE9j\xE0", "/?seed=d%E9j%E0&adult_filter=remove_offensive&suggest=Hit+Me"},
      {"two  blanks\tand tab",
       "/?seed=two++blanks%09and+tab&adult_filter=remove_offensive&suggest=Hit+Me"},
      {std::string("a\0b\r\nc\x7F\x1F", 8),
       "/?seed=a%00b%0D%0Ac%7F%1F&adult_filter=remove_offensive&suggest=Hit+Me"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SuggestionsUrl(kBase, c.keyword), kBase + c.expected) << c.keyword;
  }
}

TEST(SuggestionRequests, AnswerCarriesTypedTextAndHiddenValuesUnchanged) {
  EXPECT_EQ(SecurityImageAnswerUrl(kBase, "x7Kp", "r&1", "golf+clubs"),
            kBase + "/keyword-suggestion-tool.html?password=x7Kp&random=r&1&seed=golf+clubs");
  EXPECT_EQ(SecurityImageAnswerUrl(kBase, "", "", ""),
            kBase + "/keyword-suggestion-tool.html?password=&random=&seed=");
  // Blanks, line breaks and bytes outside ASCII from the field or the page
  // are encoded, the rest goes in as it is.
  EXPECT_EQ(SecurityImageAnswerUrl(kBase, "  ", "R", "S"),
            kBase + "/keyword-suggestion-tool.html?password=%20%20&random=R&seed=S");
  EXPECT_EQ(SecurityImageAnswerUrl(kBase, "x 7", "r 1\r\n2", "golf clubs\t"),
            kBase +
                "/keyword-suggestion-tool.html?password=x%207&random=r%201%0D%0A2"
                "&seed=golf%20clubs%09");
  EXPECT_EQ(SecurityImageAnswerUrl(kBase, "\xE9t\xE9", "r", "caf\xC3\xA9"),
            kBase + "/keyword-suggestion-tool.html?password=%E9t%E9&random=r&seed=caf%C3%A9");
}

struct SearchCase {
  SearchEngine engine;
  SearchType type;
  std::string phrase;
  std::string expected;  // after the host
};

TEST(SearchRequests, PathQueryKeyAndQuotesPerEngine) {
  const SearchCase cases[] = {
      {SearchEngine::Google, SearchType::Precise, "golf clubs", "/search?q=%22golf+clubs%22"},
      {SearchEngine::Yahoo, SearchType::Precise, "golf clubs", "/search?p=%22golf+clubs%22"},
      {SearchEngine::Msn, SearchType::Precise, "golf clubs", "/results.aspx?q=%22golf+clubs%22"},
      {SearchEngine::Google, SearchType::Broad, "golf clubs", "/search?q=golf+clubs"},
      {SearchEngine::Yahoo, SearchType::Broad, "golf clubs", "/search?p=golf+clubs"},
      {SearchEngine::Msn, SearchType::Broad, "golf clubs", "/results.aspx?q=golf+clubs"},
      {SearchEngine::Google, SearchType::Broad, "a  b", "/search?q=a++b"},
      {SearchEngine::Msn, SearchType::Precise, " c&d ", "/results.aspx?q=%22+c&d+%22"},
      {SearchEngine::Yahoo, SearchType::Precise, "", "/search?p=%22%22"},
      // A cell from a keyword file may hold a tab.
      {SearchEngine::Google, SearchType::Precise, "golf\tclubs", "/search?q=%22golf%09clubs%22"},
      {SearchEngine::Msn, SearchType::Broad, "a\x7F b\n", "/results.aspx?q=a%7F+b%0A"},
      {SearchEngine::Yahoo, SearchType::Precise, "\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8F\x8C",
       "/search?p=%22%E6%9D%B1%E4%BA%AC+%F0%9F%8F%8C%22"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SearchUrl(c.engine, kBase, c.phrase, c.type), kBase + c.expected) << c.expected;
  }
}

}  // namespace
