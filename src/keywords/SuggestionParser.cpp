#include "keywords/SuggestionParser.h"

#include <string>

#include "base/ResultsTable.h"
#include "web/UUtils.h"

namespace quorvane {

namespace {
constexpr std::string_view kSecurityImageMarker = "Please enter the characters in the image";
constexpr std::string_view kFooter = "</tfoot>";
constexpr std::string_view kCountStart = "<tr><td>";
constexpr std::string_view kCountEnd = "</td>";
constexpr std::string_view kPhraseStart = "\">";
constexpr std::string_view kPhraseEnd = "</a>";
}  // namespace

bool IsSecurityImagePage(std::string_view page) {
  return page.find(kSecurityImageMarker) != std::string_view::npos;
}

void ParseSuggestions(std::string_view page, ResultsTable& table) {
  // The presence test is exact; the walk below is case-insensitive.
  if (page.find(kFooter) == std::string_view::npos) return;

  // A forward walker: pages of thousands of rows stay linear.
  TextWalker work(page);
  CutBetween(work, kFooter, ">");

  std::string count = StripHtml(CutBetween(work, kCountStart, kCountEnd));
  while (!count.empty()) {
    const int rows = table.RowCount();
    const std::string phrase = StripHtml(CutBetween(work, kPhraseStart, kPhraseEnd));
    table.AddResultRow(std::to_string(rows + 1), phrase, count);
    table.ShowItemCount();
    count = StripHtml(CutBetween(work, kCountStart, kCountEnd));
  }
}

}  // namespace quorvane
