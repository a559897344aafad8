#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace quorvane {

// Message boxes for code that reports through Messages: every box is
// recorded with its kind, and the questions take their answers from a
// script: the OK/Cancel ones from `answers` (OK once it runs out), the ones
// with buttons of their own from `choices` (Go once it runs out).
class RecordingMessages : public Messages {
 public:
  struct Box {
    char kind;  // 'I' information, 'C' OK/Cancel question, 'W' warning, 'Q' Ask
    std::string text;
    bool operator==(const Box&) const = default;
  };

  void Information(const std::string& text) override { boxes.push_back({'I', text}); }
  bool Confirm(const std::string& text) override {
    boxes.push_back({'C', text});
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Warning(const std::string& text) override { boxes.push_back({'W', text}); }
  Choice Ask(const std::string& text, const std::string&, const std::string&,
             const std::string&) override {
    boxes.push_back({'Q', text});
    if (choices.empty()) return Choice::Go;
    const Choice choice = choices.front();
    choices.pop_front();
    return choice;
  }

  // The texts of the boxes shown, in order, whatever their kind.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes) texts.push_back(box.text);
    return texts;
  }

  std::vector<Box> boxes;
  std::deque<bool> answers;    // for the OK/Cancel questions to come, first first
  std::deque<Choice> choices;  // for the questions of Ask to come
};

inline void PrintTo(const RecordingMessages::Box& box, std::ostream* out) {
  *out << box.kind << " \"" << box.text << '"';
}

}  // namespace quorvane
