// The three search engines' result counts, cut from arbitrary pages. The
// first byte picks the engine: 0 Google, 1 Yahoo, 2 MSN (so seed files
// start with the digit).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "keywords/SearchEngines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [kind, page] = SplitKind(data, size, 3);
  static constexpr SearchEngine kEngines[] = {SearchEngine::Google, SearchEngine::Yahoo,
                                              SearchEngine::Msn};
  static constexpr std::string_view kEnds[] = {"</b>", " for ", "</span>"};
  const SearchEngine engine = kEngines[kind];
  const std::string count = CutResultCount(engine, page);

  if (engine == SearchEngine::Msn) {
    // The word goes until none is left, then the blanks around the number.
    FUZZ_CHECK(count.find("results") == std::string::npos);
    FUZZ_CHECK(!HasBlankEdge(count));
  } else if (!count.empty()) {
    // Cut whole from the page, up to the first end marker.
    FUZZ_CHECK(page.find(count) != std::string_view::npos);
    FUZZ_CHECK(!ContainsNoCase(count, kEnds[kind]));
  }
  if (!ContainsNoCase(page, kEnds[kind])) FUZZ_CHECK(count.empty());
  return 0;
}
