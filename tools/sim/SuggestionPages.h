#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/Scenario.h"

namespace quorvane::sim {

// Pages of the keyword-suggestion service.

struct Suggestion {
  std::string phrase;     // plain text, as a reader of the page sees it
  std::string countText;  // with thousands separators, e.g. "1,234"
  bool bold = false;      // the count cell is wrapped in <b>...</b>
};

// The rows the service lists for a seed (already decoded from the query):
// `rows` phrases built around the seed with blanks collapsed, counts
// falling from the top. An empty seed gives no rows.
std::vector<Suggestion> SuggestionsFor(std::string_view seed, int rows);

// The page that holds the suggestion table (or, with `noTable`, a page
// without one).
std::string SuggestionPage(std::string_view seed, const SuggestScenario& scenario);

// The service's start page: the seed form, no table.
std::string SuggestionStartPage();

// The security-image page. `rawSeed` goes into the hidden seed field as it
// came in the query (only a double quote or angle bracket is percent-encoded),
// so a client that sends it back unchanged asks for the same seed.
// `imageUrl` is the absolute address of the image, with plain "&".
std::string ChallengePage(std::string_view rawSeed, std::string_view random,
                          std::string_view imageUrl);

// The challenge's random value number `n` (1, 2, ...): eight hex digits.
std::string ChallengeRandom(int n);

}  // namespace quorvane::sim
