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

void PollWait::Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) {
  std::vector<pollfd> fds;
  fds.reserve(watched_.size());
  for (const auto& [fd, events] : watched_) {
    const short wanted = static_cast<short>(((events & kRead) != 0 ? POLLIN : 0) |
                                            ((events & kWrite) != 0 ? POLLOUT : 0));
    fds.push_back({fd, wanted, 0});
  }
  const int n = ::poll(fds.data(), fds.size(), static_cast<int>(limit.count()));
  if (n <= 0) return;  // the time passed, or a signal: the client looks again
  for (const pollfd& p : fds) {
    int events = kNone;
    if ((p.revents & (POLLIN | POLLHUP)) != 0) events |= kRead;
    if ((p.revents & POLLOUT) != 0) events |= kWrite;
    if ((p.revents & (POLLERR | POLLNVAL)) != 0) events |= kError;
    if (events != kNone) ready.push_back({p.fd, events});
  }
}

}  // namespace quorvane
