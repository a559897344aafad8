#pragma once

#include <map>

#include "web/SocketWait.h"

namespace quorvane {

// A SocketWait that waits for the sockets alone (poll). The host's own
// messages are handled only where the client pumps them.
class PollWait final : public SocketWait {
 public:
  void Watch(int fd, int events) override;
  void Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) override;
  void Interrupt() override {}

 private:
  std::map<int, int> watched_;
};

}  // namespace quorvane
