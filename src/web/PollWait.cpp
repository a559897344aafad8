#include "web/PollWait.h"

#include <poll.h>

#include <cerrno>

namespace quorvane {

void PollWait::Watch(int fd, int events) {
  if (events == kNone) {
    watched_.erase(fd);
  } else {
    watched_[fd] = events;
  }
}

void PollSocketsOnce(const std::vector<std::pair<int, int>>& sockets,
                     std::chrono::milliseconds limit, std::vector<SocketWait::Ready>& ready) {
  std::vector<pollfd> fds;
  fds.reserve(sockets.size());
  for (const auto& [fd, events] : sockets) {
    const short wanted = static_cast<short>(((events & SocketWait::kRead) != 0 ? POLLIN : 0) |
                                            ((events & SocketWait::kWrite) != 0 ? POLLOUT : 0));
    fds.push_back({fd, wanted, 0});
  }
  if (::poll(fds.data(), fds.size(), static_cast<int>(limit.count())) <= 0) return;
  for (const pollfd& p : fds) {
    int events = SocketWait::kNone;
    if ((p.revents & (POLLIN | POLLHUP)) != 0) events |= SocketWait::kRead;
    if ((p.revents & POLLOUT) != 0) events |= SocketWait::kWrite;
    if ((p.revents & (POLLERR | POLLNVAL)) != 0) events |= SocketWait::kError;
    if (events != SocketWait::kNone) ready.push_back({p.fd, events});
  }
}

void PollWait::Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) {
  PollSocketsOnce({watched_.begin(), watched_.end()}, limit, ready);
}

}  // namespace quorvane
