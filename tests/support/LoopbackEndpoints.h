#pragma once

#include <string>

#include "support/StalledListener.h"
#include "web/ServiceEndpoints.h"

namespace quorvane {

// Service addresses for windows under test that must not reach the
// services the program is built for: every one is a closed port of
// 127.0.0.1, so a request there is refused at once. The main window's
// start-up tick runs the update check by itself; with these it goes
// nowhere but the loopback.
inline ServiceEndpoints LoopbackEndpoints() {
  const std::string closed = "http://127.0.0.1:9";
  return {closed, closed, closed, closed, closed + "/liveupdate/quorvane/"};
}

// As LoopbackEndpoints, with the three search engines at a port of
// 127.0.0.1 where a connect never completes: a Gather Data run there
// waits for its first page until it is stopped. One such port serves the
// whole test program.
inline ServiceEndpoints StalledEngineEndpoints() {
  static const StalledListener engines;
  ServiceEndpoints endpoints = LoopbackEndpoints();
  endpoints.google = endpoints.yahoo = endpoints.msn = engines.Url("");
  return endpoints;
}

// Every service at `base`, the scheme://host:port of one local server
// (the simulator, a raw server), the update files below it.
inline ServiceEndpoints EndpointsAt(const std::string& base) {
  return {base, base, base, base, base + "/liveupdate/quorvane/"};
}

}  // namespace quorvane
