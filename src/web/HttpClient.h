#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "web/FetchHost.h"

namespace quorvane {

// The one HTTP client of the main window (IdHTTP1), on libcurl. It keeps a
// cookie store for the life of the object, reports progress to its host,
// pumps the host's messages while it waits and is cut by the host's abort
// flag. It is not re-entrant: a request asked for while another one runs
// on the same client is refused (returns false at once). The client must
// outlive any request running on it.
class HttpClient {
 public:
  explicit HttpClient(FetchHost& host);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  using Sink = std::function<bool(std::string_view)>;

  // HTTP/1.1 GET. The body of the final response is handed to `sink` piece
  // by piece as it arrives (bodies of redirects and of error statuses are
  // not); a sink returning false fails the request. To download into a
  // file, give a sink that writes to it. True on a final 2xx status (or a
  // redirect taken as final at the request limit). The sink runs inside
  // libcurl: it must not call back into this client.
  //
  // The connection stays open for the next request until Disconnect(),
  // unless `after` is kClose: then libcurl closes it as soon as the request
  // ends, and a Disconnect() that follows has nothing left to do. A caller
  // that disconnects after every request anyway saves the set-up of a new
  // connection cache per request that way.
  enum class After { kKeepConnection, kClose };
  bool Get(const std::string& url, const Sink& sink, After after = After::kKeepConnection);

  // HTTP/1.0 POST of `body` with the given Content-Type, any open
  // connection closed first. `reply` receives the body of the final
  // response; it is empty whenever the result is false.
  bool Post(const std::string& url, const std::string& contentType, const std::string& body,
            std::string& reply);

  // Closes the open connection, if any, and cuts a running transfer. Safe
  // to call from inside the host's ProcessMessages while a request runs:
  // the transfer is detached from libcurl at once and the request returns
  // false as soon as control comes back to it (true only for a body that
  // runs until the server closes, when the host's abort flag is set by
  // then: the cut ends it like that close). Never throws.
  void Disconnect() noexcept;

  // True while a request runs on this client.
  bool Busy() const;

  FetchHost& Host() const { return host_; }

  // Tests only: connections for `host`:`port` go to 127.0.0.1:`localPort`
  // instead, while the request itself, its Host header included, still
  // names `host`:`port` (a server on any free port can then receive the
  // request as the program sends it to port 80). An empty `host` maps
  // every host on that port.
  void ConnectToForTests(const std::string& host, int port, int localPort);

  // Tests only: a short connect time-out instead of the program's 120 s,
  // so that a time-out can be tested without waiting for it.
  void SetConnectTimeoutForTests(std::chrono::milliseconds timeout);

  // Tests only: a short idle limit instead of the program's 60 s. A
  // request whose connection stands but moves no byte, in either
  // direction, for that long fails like a connection the server dropped.
  void SetIdleTimeoutForTests(std::chrono::milliseconds timeout);

  // Tests only: every client of the process refuses, before any name is
  // looked up, a request to a host other than 127.0.0.1, localhost or
  // [::1], so no test can reach beyond this machine by mistake.
  static void RestrictToLoopbackForTests(bool restrict);

 private:
  struct Impl;
  FetchHost& host_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvane
