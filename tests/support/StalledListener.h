#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// A port on 127.0.0.1 where a connect neither succeeds nor fails: the
// socket listens with a backlog of one, and a connection of its own fills
// that backlog without ever being accepted, so the kernel drops every
// further SYN and the client stays in its connect phase (until its
// connect time-out, or for about two minutes of SYN retries).
class StalledListener {
 public:
  StalledListener();
  ~StalledListener();
  StalledListener(const StalledListener&) = delete;
  StalledListener& operator=(const StalledListener&) = delete;

  int Port() const { return port_; }
  std::string Url(std::string_view target = "/") const;

 private:
  int listenFd_ = -1;
  int fillerFd_ = -1;
  int port_ = 0;
};

}  // namespace quorvane
