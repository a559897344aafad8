#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "support/TempFolder.h"

namespace quorvane {

// A desktop of the test process's own, in a temporary folder, with nothing
// of the machine's: no real browser can ever start from a test. With a
// browser registered for http addresses, a stand-in that records the
// address it was started with; without one, OpenUrl finds nothing.
//
// The desktop library reads the desktop's folders once per process, so the
// first desktop set up in a process is the one every later OpenUrl sees:
// make it before anything opens an address, and only one kind per process
// (CTest runs each case in a process of its own).
class FakeBrowser {
 public:
  enum class Kind { kRegistered, kNone };

  // The process's desktop, made on the first call. Nullptr when the
  // process already has a desktop of the other kind: the caller skips.
  static FakeBrowser* OfThisProcess(Kind kind = Kind::kRegistered);

  // The address the browser was last started with, taken away; nullopt
  // when it was not started within `wait`.
  std::optional<std::string> Opened(std::chrono::milliseconds wait = std::chrono::seconds(10));

 private:
  explicit FakeBrowser(Kind kind);

  Kind kind_;
  TempFolder desktop_;
};

}  // namespace quorvane
