#pragma once

#include <curl/curl.h>

#include <string>
#include <vector>

namespace quorvane {

// Test clients for the simulator: libcurl (the library Quorvane itself
// uses) for ordinary exchanges, and a raw socket for checking the exact
// bytes of a response.

struct HttpOptions {
  bool follow = false;               // follow redirects
  bool http10 = false;               // send HTTP/1.0
  std::vector<std::string> headers;  // extra request headers, "Name: value"
  std::string method;                // empty: GET, or POST when postBody is set
  std::string postBody;
  bool post = false;
  long timeoutMs = 20000;
  std::string caFile;  // https: the authority to trust (PEM), besides the system's
};

struct HttpReply {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string body;
  std::string rawHeaders;  // every header block received, as sent
  long redirects = 0;
  double seconds = 0;

  // First value of a response header (case-insensitive name) in the last
  // header block, "" if absent.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

HttpReply Fetch(const std::string& url, const HttpOptions& options = {});

// Sends `request` as is to 127.0.0.1:port and returns every byte received
// until the server closes (or `timeoutMs` passes).
std::string RawExchange(int port, const std::string& request, int timeoutMs = 10000);

}  // namespace quorvane
