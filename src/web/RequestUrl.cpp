#include "web/RequestUrl.h"

#include "base/AsciiText.h"

namespace quorvane {

std::string EncodeUnsendableBytes(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

std::string WithoutFragment(std::string_view url) {
  return std::string(url.substr(0, url.find('#')));
}

std::string RequestTarget(std::string_view url) {
  url = url.substr(0, url.find('#'));
  std::size_t authority = 0;
  if (const auto scheme = url.find("://"); scheme != std::string_view::npos) {
    authority = scheme + 3;
  }
  const auto rest = url.find_first_of("/?", authority);
  if (rest == std::string_view::npos) return "/";
  std::string target;
  if (url[rest] == '?') target.push_back('/');
  target.append(url.substr(rest));
  return target;
}

bool IsReservedInvalidHost(std::string_view host) {
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  constexpr std::string_view kTld = "invalid";
  if (host.size() < kTld.size()) return false;
  if (!EqualsNoCase(host.substr(host.size() - kTld.size()), kTld)) return false;
  return host.size() == kTld.size() || host[host.size() - kTld.size() - 1] == '.';
}

bool IsLoopbackHost(std::string_view host) {
  if (host == "127.0.0.1" || host == "[::1]" || host == "::1") return true;
  return EqualsNoCase(host, "localhost");
}

}  // namespace quorvane
