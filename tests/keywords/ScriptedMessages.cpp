#include "keywords/ScriptedMessages.h"

namespace quorvane {

void ScriptedMessages::Information(const std::string& text) {
  shown_.push_back(text);
}

bool ScriptedMessages::Confirm(const std::string& text) {
  shown_.push_back(text);
  if (answers_.empty()) return true;
  const bool ok = answers_.front();
  answers_.pop_front();
  return ok;
}

void ScriptedMessages::Warning(const std::string& text) {
  shown_.push_back(text);
}

}  // namespace quorvane
