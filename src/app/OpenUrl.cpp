#include "app/OpenUrl.h"

#include <gio/gio.h>

#include <memory>
#include <string_view>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

struct AppInfoUnref {
  void operator()(GAppInfo* info) const { g_object_unref(info); }
};

// A scheme is a letter followed by letters, digits, "+", "-" or ".", and
// then ":". What looks like one but has only digits after the colon up to
// the path is a host with its port.
bool HasScheme(std::string_view address) {
  const auto colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(address[0])) return false;
  for (const char c : address.substr(1, colon - 1)) {
    if (!IsAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  const std::string_view rest = address.substr(colon + 1);
  const std::string_view port = rest.substr(0, rest.find_first_of("/?#"));
  if (port.empty()) return true;
  for (const char c : port) {
    if (!IsAsciiDigit(c)) return true;
  }
  return false;
}

}  // namespace

bool OpenUrl(const std::string& address) {
  // GIO applies the desktop's rules: defaults, added and removed
  // associations and the system caches, in their order, and only entries
  // whose program is installed.
  const std::unique_ptr<GAppInfo, AppInfoUnref> browser(
      g_app_info_get_default_for_uri_scheme("http"));
  if (!browser) return false;

  GList one{};
  one.data = const_cast<char*>(address.c_str());
  GList* const addresses = address.empty() ? nullptr : &one;
  GError* error = nullptr;
  // A browser that does not start is not reported; the error only says so.
  g_app_info_launch_uris(browser.get(), addresses, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return true;
}

std::string WebAddress(const std::string& address) {
  return HasScheme(address) ? address : "http://" + address;
}

}  // namespace quorvane
