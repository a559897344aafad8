#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace quorvane {

// Message boxes answered from a script: every text shown is recorded, and
// each question takes the next scripted answer (OK when none is left).
class ScriptedMessages : public Messages {
 public:
  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void Warning(const std::string& text) override;

  void AnswerNext(bool ok) { answers_.push_back(ok); }
  const std::vector<std::string>& Shown() const { return shown_; }

 private:
  std::deque<bool> answers_;
  std::vector<std::string> shown_;
};

}  // namespace quorvane
