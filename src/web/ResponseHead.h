#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The head of an HTTP response, read line by line as libcurl hands the
// lines over: the status, how the body is framed, whether a redirect names
// its target, and the Set-Cookie2 values (libcurl's cookie engine keeps
// Set-Cookie by itself; the client stores Set-Cookie2).
struct ResponseHead {
  long status = 0;                   // 0 until a status line gives one
  bool headersDone = false;          // the blank line after a final (not 1xx) status came
  bool chunked = false;              // Transfer-Encoding names chunked
  std::int64_t length = -1;          // Content-Length, -1 when not announced
  bool hasLocation = false;          // a Location that is not empty
  std::vector<std::string> cookie2;  // Set-Cookie2 values, of every response read

  // Reads one line, its line end included. A status line starts a new
  // response (an interim 1xx is followed by the real one): everything but
  // the Set-Cookie2 values starts afresh.
  void Read(std::string_view line);
};

}  // namespace quorvane
