#include "base/AsciiText.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

namespace {

// The hot loop of FindNoCase: kept in this file, so it is inlined there.
inline bool SameFolded(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SameFolded(a.data(), b.data(), a.size());
}

// Candidates come from memchr on the needle's first byte in both cases, so
// long stretches of a page without that letter cost almost nothing.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
  constexpr std::size_t kNone = std::string_view::npos;
  const std::size_t m = needle.size();
  if (m == 0 || text.size() < m || from > text.size() - m) return kNone;

  const char* base = text.data();
  const std::size_t limit = text.size() - m + 1;  // candidate starts lie in [from, limit)
  const char upper = UpperAscii(needle[0]);
  const char lower = LowerAscii(needle[0]);

  auto next = [&](char c, std::size_t pos) -> std::size_t {
    const void* hit = std::memchr(base + pos, static_cast<unsigned char>(c), limit - pos);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : limit;
  };

  std::size_t nextUpper = next(upper, from);
  std::size_t nextLower = lower != upper ? next(lower, from) : limit;
  for (;;) {
    const std::size_t pos = std::min(nextUpper, nextLower);
    if (pos >= limit) return kNone;
    if (SameFolded(base + pos + 1, needle.data() + 1, m - 1)) return pos;
    if (nextUpper == pos) nextUpper = next(upper, pos + 1);
    if (nextLower == pos) nextLower = next(lower, pos + 1);
  }
}

std::string_view TrimStart(std::string_view text, std::string_view blanks) {
  while (!text.empty() && IsBlank(text.front(), blanks)) text.remove_prefix(1);
  return text;
}

std::string_view TrimEnd(std::string_view text, std::string_view blanks) {
  while (!text.empty() && IsBlank(text.back(), blanks)) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
  return TrimEnd(TrimStart(text, blanks), blanks);
}

}  // namespace quorvane
