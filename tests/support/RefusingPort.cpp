#include "support/RefusingPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quorvane {

RefusingPort::RefusingPort() {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (fd_ >= 0) ::close(fd_);
    throw std::runtime_error("cannot bind on 127.0.0.1");
  }
  port_ = ntohs(addr.sin_port);
}

RefusingPort::~RefusingPort() {
  ::close(fd_);
}

std::string RefusingPort::Url(std::string_view target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

}  // namespace quorvane
