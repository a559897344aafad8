#pragma once

#include <string>

namespace quorvane {

// Starts the web browser that the user's desktop has registered for http
// addresses, found and started the way the desktop's own launcher does it
// (its MIME-apps rules for x-scheme-handler/http, and the entry's Exec line
// with its quoting, field codes and wrappers), with `address` handed over
// whole, exactly as given. An empty address starts the browser without
// one. The browser runs on its own (detached; no shell sees the address).
// Returns true when a browser was found, whether or not it could be
// started; false, and nothing happens, when none is registered.
bool OpenUrl(const std::string& address);

// The address a link label asks the desktop to open: unchanged when it
// names its scheme ("http://…", "mailto:…"), otherwise read as a web
// address ("www.example.com", "example.com:8080/x") with "http://" put in
// front.
std::string WebAddress(const std::string& address);

}  // namespace quorvane
