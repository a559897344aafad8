#include "keywords/KeywordGatherer.h"

#include <utility>

#include "base/Messages.h"
#include "base/ResultsTable.h"
#include "keywords/SuggestionParser.h"
#include "keywords/SuggestionRequests.h"

namespace quorvane {

KeywordGatherer::KeywordGatherer(std::string suggestBase, FetchFunction fetch, ResultsTable& table,
                                 Messages& messages, SecurityImagePrompt prompt,
                                 std::function<bool()> abortRequested)
    : suggestBase_(std::move(suggestBase)),
      fetch_(std::move(fetch)),
      table_(table),
      messages_(messages),
      prompt_(std::move(prompt)),
      abortRequested_(std::move(abortRequested)) {}

int KeywordGatherer::Run(const std::string& mainKeyword) {
  if (mainKeyword.empty()) {
    messages_.Information("Please enter a main keyword before gather keywords.");
    return 0;
  }

  std::string page;
  // A failed fetch has already told the user through the status bar.
  if (!fetch_(SuggestionsUrl(suggestBase_, mainKeyword), page)) return 0;

  while (true) {
    if (!IsSecurityImagePage(page)) {
      const std::vector<NewKeyword> suggestions = ParseSuggestions(page);
      table_.AppendKeywords(suggestions);
      return static_cast<int>(suggestions.size());
    }
    // Only the window closing sets the flag during this command: no dialog
    // or question may open after that.
    if (abortRequested_()) return 0;
    const SecurityImageAnswer answer = prompt_(page);
    if (abortRequested_()) return 0;

    // The dialog's way of closing is not looked at, nor the fetch result:
    // a failed fetch leaves an empty page, which parses to no rows.
    fetch_(
        SecurityImageAnswerUrl(suggestBase_, answer.Password, answer.RandomValue, answer.SeedValue),
        page);
    if (abortRequested_()) return 0;

    if (IsSecurityImagePage(page) && !messages_.Confirm("Wrong password. Do you want try again?"))
      return 0;
  }
}

}  // namespace quorvane
