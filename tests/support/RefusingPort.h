#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// A port on 127.0.0.1 where every connect is refused at once: the socket
// is bound (so nothing else can take the port) but never listens.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  std::string Url(std::string_view target = "/") const;

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace quorvane
