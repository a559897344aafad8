#pragma once

#include <functional>
#include <string>

#include "keywords/FetchFunction.h"
#include "keywords/SecurityImageAnswer.h"

namespace quorvane {

class Messages;
class ResultsTable;

// The "Gather Keywords" command: asks the suggestion service for phrases
// related to the main keyword, goes through the security-image dialog as
// long as the service demands it, and appends the suggestions to the
// table. The caller clears the abort flag before Run and shows the row
// count when Run has added rows.
class KeywordGatherer {
 public:
  // Shows the security-image dialog for a page and returns what it held
  // when it closed.
  using SecurityImagePrompt = std::function<SecurityImageAnswer(const std::string& pageHtml)>;

  KeywordGatherer(std::string suggestBase, FetchFunction fetch, ResultsTable& table,
                  Messages& messages, SecurityImagePrompt prompt,
                  std::function<bool()> abortRequested);

  // Returns how many rows the run appended.
  int Run(const std::string& mainKeyword);

 private:
  std::string suggestBase_;
  FetchFunction fetch_;
  ResultsTable& table_;
  Messages& messages_;
  SecurityImagePrompt prompt_;
  std::function<bool()> abortRequested_;
};

}  // namespace quorvane
