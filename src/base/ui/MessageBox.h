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
  enum class Kind { Information, Confirm, Warning };
  enum class Answer { Ok, Cancel };
  struct Shown {
    Kind kind;
    std::string text;
    std::string title;
  };

  // `owner` gives the boxes their title; it may be null.
  explicit MessageBox(QWidget* owner);

  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void Warning(const std::string& text) override;

  static void SetNextAnswer(Answer answer);
  static int PendingAnswers();
  static const std::vector<Shown>& ShownBoxes();
  // Forgets queued answers and recorded boxes.
  static void ResetTestState();

 private:
  Answer Show(Kind kind, const std::string& text);

  QWidget* owner_;
};

}  // namespace quorvane
