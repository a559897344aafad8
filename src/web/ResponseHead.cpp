#include "web/ResponseHead.h"

#include <charconv>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

// A header line as libcurl hands it over, its line end included: blanks
// go from the start, blanks and the line end from the end.
std::string_view TrimHeader(std::string_view s) {
  return TrimEnd(TrimStart(s, kSpaceTab), kSpaceTabLineEnd);
}

}  // namespace

void ResponseHead::Read(std::string_view line) {
  if (line.starts_with("HTTP/")) {
    status = 0;
    headersDone = false;
    chunked = false;
    length = -1;
    hasLocation = false;
    const auto blank = line.find(' ');
    if (blank != std::string_view::npos) {
      const auto code = line.substr(blank + 1);
      std::from_chars(code.data(), code.data() + code.size(), status);
    }
  } else if (TrimHeader(line).empty()) {
    if (status >= 200) headersDone = true;
  } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
    const auto name = TrimHeader(line.substr(0, colon));
    const auto value = TrimHeader(line.substr(colon + 1));
    if (EqualsNoCase(name, "Content-Length")) {
      std::int64_t announced = -1;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), announced);
      if (ec == std::errc() && end == value.data() + value.size() && announced >= 0)
        length = announced;
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
      chunked = FindNoCase(value, "chunked") != std::string_view::npos;
    } else if (EqualsNoCase(name, "Location")) {
      hasLocation = !value.empty();
    } else if (EqualsNoCase(name, "Set-Cookie2")) {
      cookie2.emplace_back(value);
    }
  }
}

}  // namespace quorvane
