#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace quorvane {

LoopbackSocket BindLoopback(int port, std::optional<int> backlog, bool reuseAddress) {
  LoopbackSocket bound;
  bound.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (bound.fd < 0) throw std::runtime_error("socket failed");
  if (reuseAddress) {
    const int one = 1;
    ::setsockopt(bound.fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  }
  sockaddr_in addr = LoopbackAddress(port);
  socklen_t len = sizeof addr;
  if (::bind(bound.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      (backlog && ::listen(bound.fd, *backlog) != 0) ||
      ::getsockname(bound.fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(bound.fd);
    throw std::runtime_error(backlog ? "cannot listen on 127.0.0.1" : "cannot bind on 127.0.0.1");
  }
  bound.port = ntohs(addr.sin_port);
  return bound;
}

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  return addr;
}

std::string LoopbackUrl(int port, std::string_view target) {
  return "http://127.0.0.1:" + std::to_string(port) + std::string(target);
}

}  // namespace quorvane
