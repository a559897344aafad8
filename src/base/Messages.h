#pragma once

#include <string>

namespace quorvane {

// The message boxes of the main window (its component msgMain): the three
// kinds of box and the question with buttons of its own. Texts are 8-bit; the window converts them
// at its edge. Code outside the windows reports through this interface so that tests can answer and
// read the boxes.
class Messages {
 public:
  // The answers to a question with buttons of its own (Ask).
  enum class Choice { Go, Discard, Cancel };

  virtual ~Messages() = default;

  // Information box with the single button "OK".
  virtual void Information(const std::string& text) = 0;
  // Information box with "OK" and "Cancel"; true only when OK was chosen.
  virtual bool Confirm(const std::string& text) = 0;
  // Warning box with the single button "OK".
  virtual void Warning(const std::string& text) = 0;
  // Question box with buttons of its own: `go` goes ahead (the default
  // button), `discard` goes ahead and throws work away, and `cancel`, when
  // not empty, changes nothing (Esc and the box's close button choose it).
  // Without `cancel` the box waits for one of the other two.
  virtual Choice Ask(const std::string& text, const std::string& go, const std::string& discard,
                     const std::string& cancel) = 0;
};

}  // namespace quorvane
