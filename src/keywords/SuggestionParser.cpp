#include "keywords/SuggestionParser.h"

#include <string>
#include <utility>

#include "base/TextRoutines.h"

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

std::vector<NewKeyword> ParseSuggestions(std::string_view page) {
  std::vector<NewKeyword> suggestions;
  // The presence test is exact; the walk below is case-insensitive.
  if (page.find(kFooter) == std::string_view::npos) return suggestions;

  // A forward walker: pages of thousands of rows stay linear.
  TextWalker work(page);
  CutBetween(work, kFooter, ">");

  std::string count = StripHtml(CutBetween(work, kCountStart, kCountEnd));
  while (!count.empty()) {
    std::string phrase = StripHtml(CutBetween(work, kPhraseStart, kPhraseEnd));
    suggestions.push_back(NewKeyword{std::move(phrase), std::move(count)});
    count = StripHtml(CutBetween(work, kCountStart, kCountEnd));
  }
  return suggestions;
}

}  // namespace quorvane
