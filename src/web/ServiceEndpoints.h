#pragma once

#include <string>

#include "ServiceHosts.h"

namespace quorvane {

// Where the outside services are. The program uses the addresses fixed at
// build time; tests hand the windows other ones (a simulator on a free
// port of 127.0.0.1).
struct ServiceEndpoints {
  std::string suggest;         // scheme://host[:port] of the keyword-suggestion service
  std::string google;          // scheme://host[:port]
  std::string yahoo;           // scheme://host[:port]
  std::string msn;             // scheme://host[:port]
  std::string liveUpdateBase;  // full base URL ending in "/liveupdate/quorvane/"

  static ServiceEndpoints Compiled() {
    return {quorvane::hosts::kSuggestUrl, quorvane::hosts::kGoogleUrl, quorvane::hosts::kYahooUrl,
            quorvane::hosts::kMsnUrl, quorvane::hosts::kLiveUpdateBaseUrl};
  }
};

}  // namespace quorvane
