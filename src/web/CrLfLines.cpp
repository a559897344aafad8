#include "web/CrLfLines.h"

std::string CrLfLines(std::string_view body) {
  const auto nul = body.find('\0');
  if (nul != std::string_view::npos) body = body.substr(0, nul);

  std::string text;
  text.reserve(body.size() + body.size() / 16 + 2);
  std::size_t pos = 0;
  while (pos < body.size()) {
    const auto brk = body.find_first_of("\r\n", pos);
    if (brk == std::string_view::npos) {
      text.append(body.substr(pos)).append("\r\n");
      break;
    }
    text.append(body.substr(pos, brk - pos)).append("\r\n");
    pos = brk + 1;
    if (body[brk] == '\r' && pos < body.size() && body[pos] == '\n') ++pos;
  }
  return text;
}
