#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The socket set-up the local servers of the tests share; nothing here
// ever leaves 127.0.0.1.

// A TCP socket bound to 127.0.0.1, and the port it holds.
struct LoopbackSocket {
  int fd = -1;
  int port = 0;
};

// Binds to 127.0.0.1:`port`, a free port when 0. With a `backlog` the
// socket listens; without, it only holds the port, so that connects to it
// are refused. `reuseAddress` lets a fixed port be taken again while old
// connections linger. Throws std::runtime_error when the port cannot be
// had; the caller closes the socket.
LoopbackSocket BindLoopback(int port, std::optional<int> backlog, bool reuseAddress = false);

// 127.0.0.1:`port` as a socket address.
sockaddr_in LoopbackAddress(int port);

// "http://127.0.0.1:<port>" followed by `target`.
std::string LoopbackUrl(int port, std::string_view target);

}  // namespace quorvane
