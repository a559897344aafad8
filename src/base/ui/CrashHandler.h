#pragma once

#include <string>

namespace quorvane {

class Messages;

// The unexpected-error handler. An error that escapes a command or the
// creation of a window is shown to the user as a warning box and the
// program runs on, with the window in whatever state the failed step left.
//
// Commands run inside Guard(), so their exceptions never travel through
// Qt's own frames (Qt Widgets is built without exception support and would
// skip its clean-up). QuorvaneApplication::notify catches what still
// escapes an event handler.
class CrashHandler {
 public:
  // Where reports go, normally the main window's msgMain. Without one a
  // box of the handler's own is shown.
  static void SetMessages(Messages* messages);
  static Messages* CurrentMessages();

  // Reports the exception being handled. Call it only from a catch block.
  static void ReportCurrentException() noexcept;

  // The text shown for an error with the given description.
  static std::string ReportText(const std::string& what);

  // Runs `step`; an exception it throws is reported and goes no further.
  template <class Step>
  static void Guard(Step&& step) noexcept {
    try {
      step();
    } catch (...) {
      ReportCurrentException();
    }
  }
};

}  // namespace quorvane
