#pragma once

#include <string>
#include <string_view>

#include "sim/Scenario.h"
#include "sim/SimRequest.h"

namespace quorvane::sim {

// The publisher's news service: getlastnews.php and getnewsdetails.php.
class NewsRoutes {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/html";
  };

  // The reply to a logged request (its service kNewsList or kNewsDetails).
  static Reply Answer(const SimRequest& request, const NewsScenario& scenario);

  // An item body as it travels: "$" and two upper-case hex digits for "$",
  // "^", bytes outside printable ASCII (CR, LF and 0xAF among them) and a
  // leading blank, which the reader would otherwise trim away.
  static std::string EscapeBody(std::string_view body);

  static constexpr char kSeparator = '\xAF';
};

}  // namespace quorvane::sim
