// The three search engines' result counts, cut from arbitrary pages, and
// their numeric reading by which the table sorts them. The first byte
// picks the engine: 0 Google, 1 Yahoo, 2 MSN (so seed files start with the
// digit).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "base/CompareCells.h"
#include "keywords/SearchEngines.h"

using namespace quorvane;

namespace {

// Commas dropped, then blanks, one sign and digits to the end, within the
// signed 32-bit range; anything else is 0.
std::int32_t ReferenceCellNumber(std::string_view cell) {
  std::string text;
  for (char c : cell)
    if (c != ',') text += c;
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  const bool negative = text[i] == '-';
  if (text[i] == '+' || text[i] == '-') ++i;
  const std::string digits = text.substr(i);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
  if (digits.size() - first > 10) return 0;
  std::int64_t value = 0;
  for (std::size_t k = first; k < digits.size(); ++k) value = value * 10 + (digits[k] - '0');
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace

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

  FUZZ_CHECK(CellNumber(count) == ReferenceCellNumber(count));
  FUZZ_CHECK(CellNumber(page) == ReferenceCellNumber(page));
  FUZZ_CHECK(CompareCells(count, page) == -CompareCells(page, count));
  return 0;
}
