#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "web/FetchHost.h"

// The one HTTP client of the main window (IdHTTP1), on libcurl. It keeps a
// cookie store for the life of the object, reports progress to its host,
// pumps the host's messages while it waits and is cut by the host's abort
// flag. It is not re-entrant: a request asked for while another one runs
// on the same client is refused (returns false at once).
class HttpClient {
 public:
  explicit HttpClient(FetchHost& host);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // HTTP/1.1 GET. The body is handed to `sink` piece by piece as it
  // arrives; a sink returning false fails the request. True on a final
  // 2xx status (or a redirect taken as final at the request limit).
  bool Get(const std::string& url, const std::function<bool(std::string_view)>& sink);

  // HTTP/1.0 POST of `body` with the given Content-Type, any open
  // connection closed first. The reply body is stored in `reply`.
  bool Post(const std::string& url, const std::string& contentType, const std::string& body,
            std::string& reply);

  // Closes the open connection, if any, and cuts a running transfer.
  // Never throws.
  void Disconnect() noexcept;

  // True while a request runs on this client.
  bool Busy() const;

  FetchHost& Host() const { return host_; }

 private:
  struct Impl;
  FetchHost& host_;
  std::unique_ptr<Impl> impl_;
};
