#pragma once

#include <string>

namespace quorvane {

// The three kinds of message box of the main window (its component
// msgMain). Texts are 8-bit; the window converts them at its edge. Code
// outside the windows reports through this interface so that tests can
// answer and read the boxes.
class Messages {
 public:
  virtual ~Messages() = default;

  // Information box with the single button "OK".
  virtual void Information(const std::string& text) = 0;
  // Information box with "OK" and "Cancel"; true only when OK was chosen.
  virtual bool Confirm(const std::string& text) = 0;
  // Warning box with the single button "OK".
  virtual void Warning(const std::string& text) = 0;
};

}  // namespace quorvane
