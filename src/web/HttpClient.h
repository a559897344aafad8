#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/FetchHost.h"

namespace quorvane {

// The one HTTP client of the main window (IdHTTP1), on libcurl. It keeps a
// cookie store for the life of the object, reports progress to its host,
// pumps the host's messages while it waits and is cut by the host's abort
// flag. It is not re-entrant: a request asked for while another one runs
// on the same client is refused (returns false at once). The client must
// outlive any request running on it. Where LoopbackOnly() says so (in test
// programs), a request for a host off this machine fails before any name
// is looked up.
class HttpClient {
 public:
  // How the client connects. The program keeps the defaults; tests shorten
  // the time limits and lead connections to servers on free local ports.
  struct Options {
    // Connections for `host`:`port` go to 127.0.0.1:`localPort` instead,
    // while the request itself, its Host header included, still names
    // `host`:`port` (a server on any free port can then receive the request
    // as the program sends it to port 80). An empty `host` maps every host
    // on that port.
    struct ConnectTo {
      std::string host{};
      int port = 0;
      int localPort = 0;
    };
    std::vector<ConnectTo> connectTo{};
    // A connection not made within this time fails.
    std::chrono::milliseconds connectTimeout{120'000};
    // A request whose connection stands but moves no byte, in either
    // direction, for this long fails like a connection the server dropped.
    std::chrono::milliseconds idleTimeout{60'000};
  };

  explicit HttpClient(FetchHost& host);
  HttpClient(FetchHost& host, Options options);
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

 private:
  struct Impl;
  FetchHost& host_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvane
