// Set-Cookie2 header values turned into cookie lines for the HTTP client's
// cookie store, from arbitrary headers.
//
// Input: the request host and path, each ended by a backslash and one more
// byte ("\\" is a backslash inside them), then the header value; the last
// eight bytes (when there are that many) are the clock.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "web/SetCookie2.h"

using namespace quorvane;

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t begin = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
       tab = line.find('\t', begin)) {
    fields.push_back(line.substr(begin, tab - begin));
    begin = tab + 1;
  }
  fields.push_back(line.substr(begin));
  return fields;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::int64_t now = in.ConsumeIntegral<std::int64_t>();
  const std::string host = in.ConsumeRandomLengthString(64);
  const std::string path = in.ConsumeRandomLengthString(64);
  const std::string header = in.ConsumeRemainingBytesAsString();
  // Host and path come out of libcurl's URL parser, which refuses control
  // bytes in a URL.
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  if (std::any_of(host.begin(), host.end(), control) ||
      std::any_of(path.begin(), path.end(), control))
    return 0;

  const std::vector<std::string> lines = SetCookie2Lines(header, host, path, now);
  FUZZ_CHECK(lines.size() <=
             1 + static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')));
  const std::string lowerHost = Lower(host);
  for (const std::string& line : lines) {
    // One cookie per line, seven tab-separated fields, nothing that would
    // break the cookie file layout.
    FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    const auto fields = Fields(line);
    FUZZ_CHECK(fields.size() == 7);
    const std::string_view domain = fields[0];
    FUZZ_CHECK(fields[1] == "TRUE" || fields[1] == "FALSE");
    FUZZ_CHECK(fields[3] == "TRUE" || fields[3] == "FALSE");
    FUZZ_CHECK(!fields[2].empty());
    FUZZ_CHECK(!fields[5].empty() && fields[5].front() != '$');

    // A cookie is kept for the request host or a domain that covers it.
    if (fields[1] == "FALSE") {
      FUZZ_CHECK(domain == lowerHost);
    } else {
      FUZZ_CHECK(domain.size() >= 2 && domain.front() == '.');
      const std::string_view d = domain.substr(1);
      FUZZ_CHECK(lowerHost == d || (lowerHost.size() > d.size() && lowerHost.ends_with(d) &&
                                    lowerHost[lowerHost.size() - d.size() - 1] == '.'));
    }

    std::int64_t expiry = -1;
    const auto [end, error] =
        std::from_chars(fields[4].data(), fields[4].data() + fields[4].size(), expiry);
    FUZZ_CHECK(error == std::errc() && end == fields[4].data() + fields[4].size());
    // A session cookie, a deleted one, or one that lives from now on (up
    // to the latest time there is).
    FUZZ_CHECK(expiry == 0 || expiry == 1 || expiry > now ||
               expiry == std::numeric_limits<std::int64_t>::max());
  }
  return 0;
}
