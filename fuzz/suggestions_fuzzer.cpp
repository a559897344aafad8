// The suggestion page parser on arbitrary pages.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "keywords/SuggestionParser.h"

using namespace quorvane;

namespace {

// What StripHtml leaves: trimmed, without tabs, line breaks or quotes.
bool LooksStripped(const std::string& text) {
  return !HasBlankEdge(text) && text.find_first_of("\t\r\n\"") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page = AsText(data, size);
  FUZZ_CHECK(IsSecurityImagePage(page) ==
             (page.find("Please enter the characters in the image") != std::string_view::npos));

  const std::vector<NewKeyword> rows = ParseSuggestions(page);

  if (page.find("</tfoot>") == std::string_view::npos) FUZZ_CHECK(rows.empty());
  for (const NewKeyword& row : rows) {
    FUZZ_CHECK(!row.searches.empty());
    FUZZ_CHECK(LooksStripped(row.searches));
    FUZZ_CHECK(LooksStripped(row.keyword));
  }
  // Every row needs a count cell of its own.
  if (!rows.empty()) FUZZ_CHECK(ContainsNoCase(page, "<tr><td>"));
  return 0;
}
