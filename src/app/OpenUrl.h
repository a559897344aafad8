#pragma once

#include <string>

// Starts the web browser that the user's desktop has registered for http
// addresses, with `address` as its one argument, exactly as given. The
// browser runs on its own (detached; no shell sees the address). Returns
// true when a browser was found, whether or not it could be started;
// false, and nothing happens, when none is registered.
bool OpenUrl(const std::string& address);

// The browser program the desktop has registered for http addresses: the
// default application for x-scheme-handler/http in the mimeapps.list files
// (XDG config and data locations, in their order of precedence), and of
// its desktop entry the program that the Exec line starts. Empty when none.
std::string RegisteredBrowser();
