#include "keywords/SuggestionRequests.h"

#include "keywords/QueryText.h"
#include "web/RequestUrl.h"

namespace quorvane {

std::string SuggestionsUrl(const std::string& base, const std::string& mainKeyword) {
  return EncodeUnsendableBytes(base + "/?seed=" + BlanksToPlus(mainKeyword) +
                               "&adult_filter=remove_offensive&suggest=Hit+Me");
}

std::string SecurityImageAnswerUrl(const std::string& base, const std::string& typed,
                                   const std::string& randomValue, const std::string& seedValue) {
  return EncodeUnsendableBytes(base + "/keyword-suggestion-tool.html?password=" + typed +
                               "&random=" + randomValue + "&seed=" + seedValue);
}

}  // namespace quorvane
