#include "sim/PacedResponse.h"

#include <algorithm>
#include <memory>

namespace quorvane::sim {

void SendPaced(httplib::Response& res, int status, std::string body, const std::string& contentType,
               const Pace& pace, HoldGate& gate, std::uint64_t ticket) {
  if (pace.delayMs > 0 && !gate.Wait(pace.delayMs, ticket)) {
    res.status = 503;
    res.set_content("The simulator is stopping.\n", "text/plain");
    return;
  }
  res.status = status;
  if (pace.dripBytes <= 0 || body.empty()) {
    res.set_content(body, contentType);
    return;
  }
  auto shared = std::make_shared<const std::string>(std::move(body));
  const auto piece = static_cast<std::size_t>(pace.dripBytes);
  const int pause = pace.dripMs;
  res.set_content_provider(shared->size(), contentType,
                           [shared, piece, pause, &gate, ticket](
                               std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                             if (!gate.Wait(pause, ticket)) return false;
                             return sink.write(shared->data() + offset, std::min(length, piece));
                           });
}

}  // namespace quorvane::sim
