#include "support/StalledListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quorvane {

StalledListener::StalledListener() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 0) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (listenFd_ >= 0) ::close(listenFd_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(addr.sin_port);

  // The filler takes the one place in the accept queue. Its connect must
  // have completed before the port counts as stalled.
  fillerFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  ::connect(fillerFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
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
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

}  // namespace quorvane
