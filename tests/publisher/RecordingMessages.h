#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace quorvane {

// Message boxes for tests: every box is recorded with its kind, and the
// OK/Cancel questions are answered from a script (OK once it runs out).
class RecordingMessages : public Messages {
 public:
  struct Box {
    char kind;  // 'I' information, 'C' question, 'W' warning
    std::string text;
    bool operator==(const Box&) const = default;
    friend void PrintTo(const Box& box, std::ostream* out) {
      *out << box.kind << " \"" << box.text << '"';
    }
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

  std::vector<Box> boxes;
  std::deque<bool> answers;
};

}  // namespace quorvane
