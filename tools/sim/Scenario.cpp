#include "sim/Scenario.h"

namespace quorvane::sim {

std::vector<NewsItem> NewsScenario::DefaultItems() {
  // Bodies hold the bytes that must travel escaped: "$", "^" and a
  // Windows-1252 letter (0xE9, e acute), so a client that skips decoding
  // shows visible garbage.
  return {
      {101, "Welcome to Quorvane", "2024-01-15",
       "<html><body><h2>Welcome</h2><p>Thank you for choosing Quorvane. Gather keywords, "
       "count the pages each search engine reports and save the table as CSV.</p>"
       "</body></html>"},
      {102, "Five research tips", "2024-02-03",
       "<html><body><h2>Five research tips</h2><ol><li>Start broad, then go precise.</li>"
       "<li>Sort by searches.</li><li>Prices like $19 mean buyers.</li>"
       "<li>Phrases with ^ or odd signs are rare.</li><li>Save often.</li></ol>"
       "</body></html>"},
      {103, "Spring update available", "2024-03-21",
       "<html><body><h2>Spring update</h2><p>Version 2.1 brings a faster caf\xE9-style "
       "results table. Use Check Updates to install it.</p></body></html>"},
  };
}

}  // namespace quorvane::sim
