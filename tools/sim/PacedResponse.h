#pragma once

#include <httplib.h>

#include <string>

#include "sim/HoldGate.h"
#include "sim/Scenario.h"

namespace quorvane::sim {

// Puts `body` into `res` with the status, after the pace's delay, dripped
// in pieces when the pace asks for it. Runs on the server's worker thread;
// the delay is spent here, before the status line goes out. `ticket` is
// the gate's ticket taken when the request arrived.
void SendPaced(httplib::Response& res, int status, std::string body, const std::string& contentType,
               const Pace& pace, HoldGate& gate, std::uint64_t ticket);

}  // namespace quorvane::sim
