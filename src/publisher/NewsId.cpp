#include "publisher/NewsId.h"

#include <charconv>

namespace quorvane {

std::int32_t ReadNewsId(std::string_view text) {
  // from_chars takes a "-" but no "+"; drop one "+" and allow no second sign.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return 0;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

}  // namespace quorvane
