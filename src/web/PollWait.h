#pragma once

#include <chrono>
#include <map>
#include <utility>
#include <vector>

#include "web/SocketWait.h"

namespace quorvane {

// A SocketWait that waits for the sockets alone (poll). The host's own
// messages are handled only where the client pumps them.
// One poll(2) of `sockets` (each a descriptor and the SocketWait events
// wanted of it), for `limit` at the longest; appends those that are ready.
// Nothing on a time-out or a signal: the client looks again.
void PollSocketsOnce(const std::vector<std::pair<int, int>>& sockets,
                     std::chrono::milliseconds limit, std::vector<SocketWait::Ready>& ready);

class PollWait final : public SocketWait {
 public:
  void Watch(int fd, int events) override;
  void Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) override;
  void Interrupt() override {}

 private:
  std::map<int, int> watched_;
};

}  // namespace quorvane
