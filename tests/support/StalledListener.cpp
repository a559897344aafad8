#include "support/StalledListener.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "support/LoopbackSocket.h"

namespace quorvane {

StalledListener::StalledListener() {
  const LoopbackSocket bound = BindLoopback(0, /*backlog=*/0);
  listenFd_ = bound.fd;
  port_ = bound.port;

  // The filler takes the one place in the accept queue. Its connect must
  // have completed before the port counts as stalled.
  fillerFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const sockaddr_in addr = LoopbackAddress(port_);
  ::connect(fillerFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  pollfd p{fillerFd_, POLLOUT, 0};
  int error = 0;
  socklen_t errorLen = sizeof error;
  if (::poll(&p, 1, 5000) != 1 ||
      ::getsockopt(fillerFd_, SOL_SOCKET, SO_ERROR, &error, &errorLen) != 0 || error != 0) {
    ::close(fillerFd_);
    ::close(listenFd_);
    throw std::runtime_error("cannot fill the accept queue");
  }
}

StalledListener::~StalledListener() {
  ::close(fillerFd_);
  ::close(listenFd_);
}

std::string StalledListener::Url(std::string_view target) const {
  return LoopbackUrl(port_, target);
}

}  // namespace quorvane
