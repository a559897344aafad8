#include "web/RequestUrl.h"

namespace quorvane {

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string EncodeUnsendableBytes(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
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
  const auto tail = host.substr(host.size() - kTld.size());
  for (std::size_t i = 0; i < kTld.size(); ++i)
    if (Lower(tail[i]) != kTld[i]) return false;
  return host.size() == kTld.size() || host[host.size() - kTld.size() - 1] == '.';
}

bool IsLoopbackHost(std::string_view host) {
  if (host == "127.0.0.1" || host == "[::1]" || host == "::1") return true;
  constexpr std::string_view kLocal = "localhost";
  if (host.size() != kLocal.size()) return false;
  for (std::size_t i = 0; i < kLocal.size(); ++i)
    if (Lower(host[i]) != kLocal[i]) return false;
  return true;
}

}  // namespace quorvane
