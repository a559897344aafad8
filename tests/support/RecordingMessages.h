#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace quorvane {

// Message boxes for code that reports through Messages: every box is
// recorded with its kind, and the OK/Cancel questions take their answers
// from a script, OK once it runs out.
class RecordingMessages : public Messages {
 public:
  struct Box {
    char kind;  // 'I' information, 'C' question, 'W' warning
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

  // The texts of the boxes shown, in order, whatever their kind.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes) texts.push_back(box.text);
    return texts;
  }

  std::vector<Box> boxes;
  std::deque<bool> answers;  // for the questions to come, first first
};

inline void PrintTo(const RecordingMessages::Box& box, std::ostream* out) {
  *out << box.kind << " \"" << box.text << '"';
}

}  // namespace quorvane
