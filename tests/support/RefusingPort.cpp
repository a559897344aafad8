#include "support/RefusingPort.h"

#include <unistd.h>

#include <optional>

#include "support/LoopbackSocket.h"

namespace quorvane {

RefusingPort::RefusingPort() {
  const LoopbackSocket bound = BindLoopback(0, std::nullopt);
  fd_ = bound.fd;
  port_ = bound.port;
}

RefusingPort::~RefusingPort() {
  ::close(fd_);
}

std::string RefusingPort::Url(std::string_view target) const {
  return LoopbackUrl(port_, target);
}

}  // namespace quorvane
