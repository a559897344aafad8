#pragma once

#include <string>
#include <string_view>

#include "base/ResultsTable.h"
#include "base/SearchType.h"

namespace quorvane {

// The three web search services asked for result counts, in the order in
// which every row visits them.
enum class SearchEngine { Google, Yahoo, Msn };

inline constexpr SearchEngine kSearchEngines[] = {SearchEngine::Google, SearchEngine::Yahoo,
                                                  SearchEngine::Msn};

// The table column that holds the engine's count.
ResultColumn CountColumn(SearchEngine engine);

// The results-page request for `phrase` (blanks as "+", nothing else
// escaped but the control bytes and DEL a request line cannot carry),
// between "%22" on both sides when precise. `host` is scheme://host[:port].
std::string SearchUrl(SearchEngine engine, const std::string& host, std::string_view phrase,
                      SearchType type);

// The count the engine's results page reports: the text between the first
// start marker after the narrowing marker (or anywhere when that is
// missing) and the next end marker, cleaned up for MSN. Empty when the
// markers are not there.
std::string CutResultCount(SearchEngine engine, std::string_view page);

}  // namespace quorvane
