#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "keywords/FetchFunction.h"

namespace quorvane {

// Stands in for the page fetcher: answers fetches in order from a script
// and records every URL asked for. A step may run an action during the
// fetch (as a nested window command would).
class FakeService {
 public:
  struct Reply {
    bool ok = true;
    std::string page;
    std::function<void()> during;
    bool refused = false;  // failed at once: the caller's page is left as it was
  };

  void Then(Reply reply) { replies_.push_back(std::move(reply)); }
  void ThenPage(std::string page) { Then({true, std::move(page), {}}); }
  void ThenFailure() { Then({false, "", {}}); }

  // With nothing scripted, a fetch succeeds with an empty page.
  FetchFunction Fetch();

  const std::vector<std::string>& Urls() const { return urls_; }

 private:
  std::deque<Reply> replies_;
  std::vector<std::string> urls_;
};

}  // namespace quorvane
