#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/FetchHost.h"

namespace quorvane {

// The one HTTP client of the main window (IdHTTP1), on libcurl. It keeps a
// cookie store and a cache of TLS sessions for the life of the object,
// reports progress to its host, pumps the host's messages while it waits
// and is cut by the host's abort flag. It is not re-entrant: a request
// asked for while another one runs on the same client is refused (returns
// false at once). The client must outlive any request running on it.
// Where LoopbackOnly() says so (in test programs), a request for a host
// off this machine fails before any name is looked up.
//
// It speaks http and https (TLS 1.2 or newer, HTTP/1.1 inside, the
// certificate checked against the system's store and the host's name).
// Redirects are followed by the client itself: at most 15 requests in one
// call; a chain still redirecting at the 15th answer fails, and so does a
// redirect from https down to http. A POST answered by a redirect is
// followed as a GET without its body (307 and 308: as the same POST, but
// only to the same scheme, host and port).
class HttpClient {
 public:
  // How the client connects. The program keeps the defaults; tests shorten
  // the time limits, lead connections to servers on free local ports and
  // trust an authority of their own.
  struct Options {
    // Connections for `host`:`port` go to 127.0.0.1:`localPort` instead,
    // while the request itself, its Host header and the name checked in a
    // server's certificate included, still names `host`:`port` (a server
    // on any free port can then receive the request as the program sends
    // it to port 80 or 443). An empty `host` maps every host on that port.
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
    // A call (Get or Post, its redirects included) that has not ended
    // within this time fails like a lost connection, however steadily the
    // server drips its bytes.
    std::chrono::milliseconds totalLimit{300'000};
    // A response body announced or grown beyond this fails the request
    // like a lost connection; what arrived of it goes nowhere further.
    std::int64_t maxBodyBytes = 16 * 1024 * 1024;
    // The longest gaps between two pumps of the host's messages while a
    // connection is being made and while the client waits for data. A
    // host whose wait handles its events as they come (NewSocketWait)
    // answers sooner; every progress event pumps as well.
    std::chrono::milliseconds connectingPump{125};
    std::chrono::milliseconds waitingPump{250};
    // A PEM file of certificate authorities that https servers are checked
    // against instead of the system's store. Tests give their own
    // throw-away authority here; the program leaves it empty.
    std::string testAuthority{};
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
  // file, give a sink that writes to it. True on a final 2xx status. The
  // sink runs inside libcurl: it must not call back into this client.
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
  // to call from inside the host's ProcessMessages, or from an event the
  // host's wait handles, while a request runs:
  // the transfer is detached from libcurl at once and the request returns
  // false as soon as control comes back to it (true only for a body that
  // runs until the server closes, when the host's abort flag is set by
  // then: the cut ends it like that close). Never throws.
  void Disconnect() noexcept;

  // True while a request runs on this client.
  bool Busy() const;

  // Why the last request failed when it failed for the sake of its
  // security (a certificate that does not verify, a server without TLS 1.2
  // or newer, a redirect from https down to http): the status line the
  // client showed, naming the host and the reason. Empty after any other
  // outcome.
  const std::string& SecurityFailure() const;

  // Options::testAuthority, for the program's other loaders of https
  // addresses (the security image), so that they trust the same.
  const std::string& TestAuthority() const;

  FetchHost& Host() const { return host_; }

 private:
  struct Impl;
  FetchHost& host_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvane
