#include "sim/RawQuery.h"

#include "sim/SimText.h"

namespace quorvane::sim {

RawQuery::RawQuery(std::string_view target) {
  const auto hash = target.find('#');
  if (hash != std::string_view::npos) target = target.substr(0, hash);
  const auto question = target.find('?');
  if (question == std::string_view::npos) return;
  std::string_view rest = target.substr(question + 1);
  while (!rest.empty()) {
    const auto amp = rest.find('&');
    const std::string_view pair = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
    if (pair.empty()) continue;
    const auto eq = pair.find('=');
    const std::string_view key = pair.substr(0, eq);
    const std::string_view value =
        eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
    pairs_.emplace_back(PercentDecode(key, true), std::string(value));
  }
}

const std::string* RawQuery::Find(std::string_view key) const {
  for (const auto& [k, v] : pairs_) {
    if (k == key) return &v;
  }
  return nullptr;
}

bool RawQuery::Has(std::string_view key) const {
  return Find(key) != nullptr;
}

std::string RawQuery::Raw(std::string_view key) const {
  const std::string* value = Find(key);
  return value ? *value : std::string{};
}

std::string RawQuery::Value(std::string_view key) const {
  return PercentDecode(Raw(key), true);
}

}  // namespace quorvane::sim
