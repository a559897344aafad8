#include "publisher/VersionNumber.h"

#include <charconv>
#include <cmath>

namespace quorvane {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Sign, digits with at most one point (at least one digit in all), then an
// optional exponent. Rules out the "inf" and "nan" spellings and hex forms
// that from_chars would otherwise take.
bool IsDecimalNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == text.size();
}

template <typename T>
T ReadAs(std::string_view text) {
  if (!IsDecimalNumber(text)) return 0;
  if (text.front() == '+') text.remove_prefix(1);
  T value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace

double ReadDecimalNumber(std::string_view text) {
  return ReadAs<double>(text);
}

bool IsNewerVersion(std::string_view published, std::string_view program) {
  const float publishedNumber = ReadAs<float>(published);
  return ReadAs<double>(program) < static_cast<double>(publishedNumber);
}

}  // namespace quorvane
