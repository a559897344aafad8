#pragma once

#include <string>
#include <vector>

#include "base/Messages.h"

class QWidget;

namespace quorvane {

// The message-box component of the main window (msgMain). Every box of the
// program goes through it: real modal QMessageBox dialogs titled with the
// owner window's caption, stacked over whatever modal dialog is open.
//
// Test seam: answers queued with SetNextAnswer or SetNextChoice are used,
// one per box, in place of a dialog (nothing appears); every box, scripted
// or real, is recorded with its kind, text and buttons. An answer of the
// other sort stands for the button of the same meaning: Ok for Go, Cancel
// for Cancel (or Discard on a question without Cancel), and the other
// way round.
class MessageBox final : public Messages {
 public:
  // Address: an information box that shows a web address as text the user
  // can select, with a button that copies it. Question: a box of Ask.
  enum class Kind { Information, Confirm, Warning, Address, Question };
  enum class Answer { Ok, Cancel };
  struct Shown {
    Kind kind;
    std::string text;
    std::string title;
    std::string address = {};  // Kind::Address only
    // The captions of the buttons, in the order Ask names them.
    std::vector<std::string> buttons = {};
  };

  // `owner` gives the boxes their title; it may be null.
  explicit MessageBox(QWidget* owner);

  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void Warning(const std::string& text) override;
  // `text` over `address` (8-bit) in selectable text, with the buttons
  // "Copy Address" (copies it to the clipboard; the box stays) and "OK".
  void ShowAddress(const std::string& text, const std::string& address);
  Choice Ask(const std::string& text, const std::string& go, const std::string& discard,
             const std::string& cancel) override;

  static void SetNextAnswer(Answer answer);
  static void SetNextChoice(Choice choice);
  static int PendingAnswers();
  static const std::vector<Shown>& ShownBoxes();
  // Forgets queued answers and recorded boxes.
  static void ResetTestState();

 private:
  Answer Show(Kind kind, const std::string& text, const std::string& address = {});
  // Records the box; true with `choice` set when a test scripted it.
  static bool Scripted(const Shown& box, Choice& choice);

  QWidget* owner_;
};

}  // namespace quorvane
