#include "base/CompareCells.h"

#include <limits>
#include <string>

namespace quorvane {

std::int32_t CellNumber(std::string_view text) {
  std::string digits;
  digits.reserve(text.size());
  for (const char c : text)
    if (c != ',') digits.push_back(c);

  std::size_t i = 0;
  while (i < digits.size() && digits[i] == ' ') ++i;
  bool negative = false;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
    negative = digits[i] == '-';
    ++i;
  }
  if (i == digits.size()) return 0;

  // One past the largest magnitude, so -2147483648 still fits.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < digits.size(); ++i) {
    const char c = digits[i];
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > kLimit) return 0;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return 0;
  return static_cast<std::int32_t>(value);
}

int CompareCells(std::string_view a, std::string_view b) {
  const std::int32_t x = CellNumber(a);
  const std::int32_t y = CellNumber(b);
  return (x > y) - (x < y);
}

}  // namespace quorvane
