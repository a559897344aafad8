#include "brand/AddressRules.h"

#include <charconv>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

bool HostByte(char c) {
  return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_';
}

std::optional<std::string> HostTrouble(std::string_view authority) {
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority;
  std::string_view port;
  if (authority.starts_with('[')) {
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return "an IPv6 address without its closing ]";
    host = authority.substr(0, close + 1);
    port = authority.substr(close + 1);
    if (!port.empty() && !port.starts_with(':')) return "text after the IPv6 address";
  } else if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon);
  }
  if (host.empty()) return "no host name after the scheme";
  if (!host.starts_with('[')) {
    for (const char c : host) {
      if (!HostByte(c)) return "the host name holds \"" + std::string(1, c) + "\"";
    }
    if (host.starts_with('.') || host.ends_with('.') || host.find("..") != std::string::npos)
      return "the host name has an empty part";
  }
  if (!port.empty()) {
    port.remove_prefix(1);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || value == 0 ||
        value > 65535)
      return "the port is not a number from 1 to 65535";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> AddressTrouble(std::string_view address) {
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
      return "holds blanks or line breaks; nothing between the tags is trimmed, so write the "
             "address right between them, without spaces";
    }
    if (byte >= 0x80) {
      return "holds bytes outside ASCII; write them percent-encoded (%C3%A9), as a browser "
             "would send them";
    }
  }
  const auto scheme = address.find("://");
  if (scheme == std::string_view::npos) {
    return "no scheme: write http:// or https:// before the host";
  }
  const std::string name = LowerAscii(address.substr(0, scheme));
  if (name != "http" && name != "https") {
    return "unknown scheme \"" + std::string(address.substr(0, scheme)) +
           "\": the program can use http:// and https:// addresses";
  }
  std::string_view rest = address.substr(scheme + 3);
  const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
  if (auto trouble = HostTrouble(authority)) return trouble;
  return std::nullopt;
}

std::optional<std::string> NewsAddressTrouble(std::string_view address) {
  if (auto trouble = AddressTrouble(address)) return trouble;
  if (address.find_first_of("?#") != std::string_view::npos) {
    return "a query or fragment (? or #): the program adds the script names getlastnews.php "
           "and getnewsdetails.php to the end of this address";
  }
  return std::nullopt;
}

}  // namespace quorvane
