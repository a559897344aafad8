#include "support/FakeService.h"

namespace quorvane {

FetchFunction FakeService::Fetch() {
  return [this](const std::string& url, std::string& page) {
    urls_.push_back(url);
    Reply reply;
    if (!replies_.empty()) {
      reply = std::move(replies_.front());
      replies_.pop_front();
    }
    if (reply.during) reply.during();
    if (reply.refused) return false;
    page = reply.ok ? reply.page : std::string();
    return reply.ok;
  };
}

}  // namespace quorvane
