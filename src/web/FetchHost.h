#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "web/SocketWait.h"

namespace quorvane {

// What the one HTTP client needs from the window that owns it: the abort
// flag, the status texts, the progress gauge and a way to keep the window
// answering input while a request waits. The main window implements it;
// tests implement it with a recording fake.
class FetchHost {
 public:
  virtual ~FetchHost() = default;

  // AbortRequested of the main window.
  virtual bool AbortRequested() const = 0;

  // Text of MainStatusPanel (8-bit text, converted at the window's edge).
  virtual void ShowMainStatus(const std::string& text) = 0;

  // The three progress events of a transfer.
  virtual void WorkBegin(std::int64_t expected) = 0;  // gauge max := expected, value := 0
  virtual void Work(std::int64_t transferred) = 0;    // gauge value := running total
  virtual void WorkEnd() = 0;                         // gauge value := gauge max

  // Handles pending window messages once (nested commands may run).
  virtual void ProcessMessages() = 0;

  // A request starts (true) or ends (false) on the client; the window
  // disables the commands that would start another one meanwhile.
  virtual void RequestRunning(bool /*running*/) {}

  // How the client waits for its sockets; asked once, at the client's
  // first request. A window gives a wait that handles its events as they
  // arrive (nested commands may run there, as in ProcessMessages). Null:
  // the client waits for its sockets alone, and the host's messages are
  // handled only in ProcessMessages.
  virtual std::unique_ptr<SocketWait> NewSocketWait() { return nullptr; }
};

}  // namespace quorvane
