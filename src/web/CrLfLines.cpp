#include "web/CrLfLines.h"

#include <cstring>

namespace quorvane {

namespace {

// The next `c` at or after `from`, or `end`.
const char* Next(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found != nullptr ? static_cast<const char*>(found) : end;
}

}  // namespace

void AppendCrLfLines(std::string_view body, std::string& text) {
  if (const auto nul = body.find('\0'); nul != std::string_view::npos) body = body.substr(0, nul);
  if (body.empty()) return;
  text.reserve(text.size() + body.size() + body.size() / 8 + 2);

  const char* in = body.data();
  const char* const end = in + body.size();
  // The next CR and the next LF are each searched for only once passed,
  // so a text without any CR is not scanned again for every line.
  const char* cr = Next(in, end, '\r');
  const char* lf = Next(in, end, '\n');
  while (in < end) {
    if (cr < in) cr = Next(in, end, '\r');
    if (lf < in) lf = Next(in, end, '\n');
    const char* brk = cr < lf ? cr : lf;
    text.append(in, static_cast<std::size_t>(brk - in));
    text.append("\r\n", 2);
    if (brk == end) break;
    in = brk + 1;
    if (*brk == '\r' && in < end && *in == '\n') ++in;
  }
}

std::string CrLfLines(std::string_view body) {
  std::string text;
  AppendCrLfLines(body, text);
  return text;
}

}  // namespace quorvane
