#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/Scenario.h"

namespace quorvane::sim {

// Result pages of the three web search engines.

enum class Engine { kGoogle, kYahoo, kMsn };

const char* EngineName(Engine engine);

// The number of pages an engine reports for a search term as it arrived
// (decoded; a precise search keeps its double quotes). Precise and broad
// searches of the same words give different counts, and each engine its
// own; a term equal to `hugeTerm` gets a count above 2,147,483,647.
std::uint64_t ResultCount(Engine engine, std::string_view term, std::string_view hugeTerm);

// The page for a term. kNormal pages hold a decoy count before the
// narrowing marker; kNoNarrowing pages hold the count markers only;
// kNoMarkers pages hold neither. (kFail is answered by the caller.)
std::string SearchPage(Engine engine, std::string_view term, EngineMode mode,
                       std::string_view hugeTerm);

// The page for a request without a search term.
std::string SearchStartPage(Engine engine);

}  // namespace quorvane::sim
