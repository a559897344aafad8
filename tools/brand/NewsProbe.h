#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "brand/BrandValuesCheck.h"

namespace quorvane {

// What came back when the brand's news service was asked.
struct NewsAnswer {
  std::string failure;   // why no answer came (no connection, TLS, time-out); empty if one did
  int status = 0;        // the HTTP status
  std::string location;  // the Location header of a redirect
  std::string body;
};

// Why `answer` shows that the program could not use this news service
// with this identity, or nothing when it answers as a news service does.
std::optional<std::string> NewsAnswerTrouble(const NewsAnswer& answer,
                                             const NewsIdentity& identity);

// Sends the program's first news request, the newest-item question, to
// the identity's news address, exactly once and without following a
// redirect, and judges the answer. `timeoutSeconds` bounds connecting and
// each wait for data.
std::optional<std::string> AskNewsService(const NewsIdentity& identity, int timeoutSeconds = 15);

}  // namespace quorvane
