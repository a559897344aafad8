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
// Test seam: answers queued with SetNextAnswer are used, one per box, in
// place of a dialog (nothing appears); every box, scripted or real, is
// recorded with its kind and text.
class MessageBox final : public Messages {
 public:
  // Address: an information box that shows a web address as text the user
  // can select, with a button that copies it.
  enum class Kind { Information, Confirm, Warning, Address };
  enum class Answer { Ok, Cancel };
  struct Shown {
    Kind kind;
    std::string text;
    std::string title;
    std::string address = {};  // Kind::Address only
  };

  // `owner` gives the boxes their title; it may be null.
  explicit MessageBox(QWidget* owner);

  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void Warning(const std::string& text) override;
  // `text` over `address` (8-bit) in selectable text, with the buttons
  // "Copy Address" (copies it to the clipboard; the box stays) and "OK".
  void ShowAddress(const std::string& text, const std::string& address);

  static void SetNextAnswer(Answer answer);
  static int PendingAnswers();
  static const std::vector<Shown>& ShownBoxes();
  // Forgets queued answers and recorded boxes.
  static void ResetTestState();

 private:
  Answer Show(Kind kind, const std::string& text, const std::string& address = {});

  QWidget* owner_;
};

}  // namespace quorvane
